#pragma once

#include "FileListModel.h"

#include <memory>

// A whole listing built on a worker thread; defined where the listing is built.
struct ListingJob;

// What the model holds of a listing under way.
struct FileListModel::Listing {
    std::shared_ptr<ListingJob> job;
    // The rows listed at once carry their record's place among these in listedAt.
    std::size_t firstCount = 0;
};
