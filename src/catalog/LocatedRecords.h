#pragma once

#include <QString>

#include <vector>

class Catalog;

// A missing record whose file was found again elsewhere.
struct LocatedFile {
    int missingPosition = 0; // among the catalog's missing records
    QString newPath;
};

// Puts located records back into the record list under their new paths, with their
// category and keywords, each where the file had it among the loaded records (records
// put back earlier count as loaded), and marks the catalog changed. Records whose
// category was deleted meanwhile, and paths a catalog file cannot hold, stay missing.
// Gives the missing positions that went back, ascending; the caller takes them out of
// the missing records. One pass over the record list, however many go back.
std::vector<int> putBackLocatedRecords(Catalog &catalog, std::vector<LocatedFile> located);
