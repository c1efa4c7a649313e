// quorvel-service: the results service on its own, for hosting the results
// page for many users.
//   quorvel-service --catalog DIR [--listen HOST:PORT] [--allow-host NAME]...
#include <charconv>
#include <chrono>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "CatalogIndex.h"
#include "ResultsService.h"
#include "SearchApi.h"
#include "SuggestApi.h"
#include "StopSignal.h"

using namespace quorvel;

namespace {

int usage() {
    std::cerr << "usage: quorvel-service --catalog DIR [--listen HOST:PORT] [--allow-host NAME]...\n"
                 "  --listen      address to listen on (default 127.0.0.1:8080)\n"
                 "  --allow-host  a host name clients use to reach this service (e.g. behind a proxy);\n"
                 "                requests naming any other host are refused\n";
    return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    std::string listen = "127.0.0.1:8080";
    std::string catalog;
    std::vector<std::string> allowed;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--listen" && i + 1 < argc) listen = argv[++i];
        else if (arg == "--catalog" && i + 1 < argc) catalog = argv[++i];
        else if (arg == "--allow-host" && i + 1 < argc) allowed.emplace_back(argv[++i]);
        else return usage();
    }
    if (catalog.empty()) return usage();
    const auto colon = listen.rfind(':');
    int port = -1;
    if (colon != std::string::npos) {
        const char* first = listen.data() + colon + 1;
        const char* last = listen.data() + listen.size();
        const auto [end, error] = std::from_chars(first, last, port);
        if (first == last || error != std::errc() || end != last) port = -1;
    }
    if (colon == std::string::npos || port < 0 || port > 65535) {
        std::cerr << "quorvel-service: --listen takes HOST:PORT, e.g. 127.0.0.1:8080, not \"" << listen << "\"\n";
        return 2;
    }
    std::string host = listen.substr(0, colon);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);

    StopSignal::install();
    try {
        const auto index = CatalogIndex::open(catalog);
        ResultsService service{SearchApi(index)};
        service.setSuggest(SuggestApi(index));
        service.allowHosts(allowed);
        service.start(host, port);
        std::cout << "Serving " << index->size() << " items from " << catalog << " at " << service.pageUrl()
                  << std::endl;
        while (!StopSignal::requested()) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        service.stop();
        std::cout << "Stopped." << std::endl;
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "quorvel-service: " << e.what() << "\n";
    }
    return 1;
}
