#pragma once

#include <string>

namespace quorvel {

// The vocabulary and limits the results page needs, as a JavaScript module
// (vocabulary.js), generated at build time from the same tables the program
// and the service use: a change to a table row changes all three.
std::string PageVocabularyModule();

}  // namespace quorvel
