#pragma once

#include <stdexcept>

namespace quorvel {

// A catalog that is missing, is not a catalog, or cannot be read or written.
// The message names the folder and says what is wrong.
class CatalogError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace quorvel
