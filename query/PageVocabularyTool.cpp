// Writes the results page's vocabulary module: quorvel-page-vocabulary OUTPUT.
// Run by the build whenever the vocabulary changes.
#include <fstream>
#include <iostream>

#include "PageVocabulary.h"

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::cerr << "usage: quorvel-page-vocabulary OUTPUT\n";
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << quorvel::PageVocabularyModule();
    out.flush();
    if (!out) {
        std::cerr << "quorvel-page-vocabulary: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
