#pragma once

#include "FileListModel.h"

#include <QHash>

#include <memory>

// A whole listing built on a worker thread; defined where the listing is built.
struct ListingJob;

// What the model holds of a listing under way.
struct FileListModel::Listing {
    std::shared_ptr<ListingJob> job;
    std::size_t firstCount = 0;
    // The rows listed at once that are still in the list, by their record.
    QHash<const FileListRow *, int> shown;
};
