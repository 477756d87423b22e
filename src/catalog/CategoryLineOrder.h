#pragma once

#include <optional>
#include <vector>

class CategoryTree;

// A category line names only its parent's name, and the reader hangs it under the
// latest category of that name read before it. In index order that is sometimes
// another category of the same name (roots "Pictures" and "Work", "Work\Pictures",
// then a sub-category of the first "Pictures"); this finds an order of the lines in
// which every category comes back under its own parent.
namespace CategoryLineOrder {

// The nodes in the order to write them, or nothing when index order already reads
// back right (the order every catalog without such repeated names has). skipped is a
// node the save leaves out (the system category), or 0; categories below it come back
// at the top level, and the order keeps it that way. Where no order can bring every
// category back (two sub-categories of the same name, each with a sub-category named
// like their parent), the order found brings back as many as it can.
std::optional<std::vector<int>> forSave(const CategoryTree &tree, int skipped);

} // namespace CategoryLineOrder
