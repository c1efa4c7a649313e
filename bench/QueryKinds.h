#pragma once

// The query kinds the benchmarks measure, as API query strings (without
// paging): realistic searches of the sample catalog, eight of each kind.
#include <string>
#include <vector>

#include "Vocabulary.h"

namespace quorvel::bench {

struct Kind {
    const char* name;
    std::vector<std::string> queries;  // used in turn
};

inline std::string encode(const std::string& text) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) out += {'%', hex[c >> 4], hex[c & 15]};
    return out;
}

inline std::vector<Kind> QueryKinds() {
    const std::vector<std::string> broad{"包邮", "热卖", "新款", "正品"};
    const std::vector<std::string> three{"连衣裙", "手机壳", "充电宝", "电饭煲"};
    const std::vector<std::string> rare{"坚果", "瑜伽垫", "眼霜", "三脚架", "哑铃", "榨汁机"};
    std::vector<Kind> kinds{
        {"broad 2-char keyword, price+credit ranges, by price", {}},
        {"3-char keyword, places+flags, by sales", {}},
        {"category only, default order", {}},
        {"rare 2-/3-char keyword", {}},
    };
    for (std::size_t i = 0; i < 8; ++i) {
        kinds[0].queries.push_back("k=" + encode(broad[i % broad.size()]) + "&sp=" + std::to_string(20 + i * 10) +
                                   "&ep=2000&area=&s=price_asc&sc=2heart&ec=5crown");
        kinds[1].queries.push_back("k=" + encode(three[i % three.size()]) + "&sp=0&ep=99999999&area=" +
                                   encode("江苏,浙江,上海,广州,深圳") + "&s=commissionNum_desc&sc=1heart&ec=5goldencrown&sr=true");
        kinds[2].queries.push_back("k=&cid=" + std::string(CategoryTable().at(static_cast<int>(1 + i * 9)).code) +
                                   "&sp=0&ep=99999999&area=&s=commissionVolume_desc&sc=1heart&ec=5goldencrown");
        kinds[3].queries.push_back("k=" + encode(rare[i % rare.size()]) +
                                   "&sp=0&ep=99999999&area=&s=commissionVolume_desc&sc=1heart&ec=5goldencrown");
    }
    return kinds;
}

}  // namespace quorvel::bench
