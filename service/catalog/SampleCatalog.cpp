#include "SampleCatalog.h"

#include <array>
#include <cmath>
#include <string>
#include <string_view>

namespace quorvel {
namespace {

// splitmix64: small, fast, and the same everywhere (std distributions are not).
class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    std::size_t below(std::size_t n) { return static_cast<std::size_t>(next() % n); }
    double unit() { return static_cast<double>(next() >> 11) / 9007199254740992.0; }
    bool chance(double p) { return unit() < p; }
    template <typename T, std::size_t N>
    const T& pick(const std::array<T, N>& a) { return a[below(N)]; }

private:
    std::uint64_t m_state;
};

// Words that make a category's titles real, besides the category's own names.
struct CategoryWords {
    std::string_view categoryId;
    std::array<std::string_view, 6> nouns;
};

constexpr std::array<CategoryWords, 16> kCategoryWords{{
    {"16", {"连衣裙", "雪纺衫", "半身裙", "针织开衫", "风衣", "打底裤"}},
    {"30", {"衬衫", "T恤", "夹克", "休闲裤", "牛仔裤", "羽绒服"}},
    {"1801", {"面膜", "爽肤水", "精华液", "洗面奶", "乳液", "眼霜"}},
    {"50006843", {"高跟鞋", "单鞋", "凉鞋", "雪地靴", "帆布鞋", "短靴"}},
    {"50006842", {"单肩包", "双肩包", "钱包", "手提包", "旅行箱", "斜挎包"}},
    {"1512", {"智能手机", "iPhone4", "双卡双待手机", "老人手机", "3G手机", "触屏手机"}},
    {"50008090", {"iPhone4手机壳", "数据线", "充电宝", "贴膜", "蓝牙耳机", "车载充电器"}},
    {"14", {"单反相机", "卡片机", "镜头", "三脚架", "摄像机", "存储卡"}},
    {"1101", {"笔记本电脑", "上网本", "ThinkPad", "MacBook", "游戏本", "超极本"}},
    {"50012100", {"电风扇", "加湿器", "吸尘器", "电熨斗", "取暖器", "净化器"}},
    {"50012082", {"电饭煲", "豆浆机", "微波炉", "电磁炉", "榨汁机", "电水壶"}},
    {"50002766", {"坚果", "绿茶", "普洱茶", "牛肉干", "红枣", "巧克力"}},
    {"35", {"婴儿奶粉", "米粉", "营养品", "钙片", "果泥", "奶瓶"}},
    {"25", {"乐高积木", "遥控车", "毛绒玩具", "拼图", "模型", "桌游"}},
    {"50010728", {"瑜伽垫", "跑步机", "哑铃", "羽毛球拍", "篮球", "护膝"}},
    {"26", {"行车记录仪", "座垫", "车载香水", "导航仪", "雨刮器", "机油"}},
}};

constexpr std::array<std::string_view, 20> kLeading{
    "2026新款", "正品", "特价", "韩版", "时尚", "经典", "限量", "清仓", "爆款", "原装",
    "进口", "加厚", "迷你", "多功能", "新品", "欧美", "简约", "复古", "高档", "日系"};
constexpr std::array<std::string_view, 16> kTrailing{
    "包邮", "热卖", "促销", "送礼", "现货", "秒杀", "特惠", "包邮 热卖",
    "七天退换", "正品保证", "限时折扣", "买一送一", "新品上市", "厂家直销", "全国包邮", "品质保障"};
constexpr std::array<std::string_view, 12> kBrands{
    "欧莱雅", "优衣库", "李宁", "安踏", "海尔", "美的", "小米", "华为", "苏泊尔", "良品铺子", "百雀羚", "Nike"};

struct Place {
    std::string_view province;
    std::string_view city;
};

// Cities with their provinces, so that a region (江浙沪, 珠三角 ...) finds them.
constexpr std::array<Place, 48> kPlaces{{
    {"北京", "北京"}, {"上海", "上海"}, {"天津", "天津"}, {"重庆", "重庆"},
    {"浙江", "杭州"}, {"浙江", "宁波"}, {"浙江", "温州"}, {"江苏", "南京"}, {"江苏", "苏州"},
    {"江苏", "无锡"}, {"江苏", "常州"}, {"广东", "广州"}, {"广东", "深圳"}, {"广东", "东莞"},
    {"广东", "中山"}, {"广东", "珠海"}, {"广东", "佛山"}, {"广东", "惠州"}, {"湖北", "武汉"},
    {"四川", "成都"}, {"黑龙江", "哈尔滨"}, {"山东", "济南"}, {"山东", "青岛"}, {"辽宁", "沈阳"},
    {"辽宁", "大连"}, {"福建", "福州"}, {"福建", "厦门"}, {"陕西", "西安"}, {"湖南", "长沙"},
    {"安徽", "合肥"}, {"广西", "南宁"}, {"江西", "南昌"}, {"河南", "郑州"}, {"河北", "石家庄"},
    {"香港", "香港"}, {"澳门", "澳门"}, {"台湾", "台湾"}, {"甘肃", ""}, {"贵州", ""},
    {"海南", ""}, {"吉林", ""}, {"内蒙古", ""}, {"宁夏", ""}, {"青海", ""},
    {"山西", ""}, {"新疆", ""}, {"西藏", ""}, {"云南", ""}}};

constexpr std::array<std::string_view, 19> kCountries{
    "美国", "英国", "法国", "瑞士", "澳洲", "新西兰", "加拿大", "奥地利", "韩国", "日本",
    "德国", "意大利", "西班牙", "俄罗斯", "泰国", "印度", "荷兰", "新加坡", "其它国家"};

constexpr std::array<std::string_view, 16> kNickParts{
    "小", "淘", "宝", "贝", "优", "品", "家", "店", "阿", "乐", "美", "心", "之", "星", "城", "猫"};

std::string_view categoryNoun(Random& r, std::size_t row) {
    const std::string_view id = CategoryTable().at(static_cast<int>(row)).code;
    for (const auto& words : kCategoryWords) {
        if (words.categoryId == id && r.chance(0.75)) return r.pick(words.nouns);
    }
    // Otherwise one of the category's own names ("美容护肤/美体/精油" -> "美体").
    std::string_view display = CategoryTable().at(static_cast<int>(row)).display;
    std::array<std::string_view, 8> parts{};
    std::size_t n = 0;
    while (!display.empty() && n < parts.size()) {
        const auto slash = display.find('/');
        parts[n++] = display.substr(0, slash);
        display = slash == std::string_view::npos ? std::string_view() : display.substr(slash + 1);
    }
    return parts[r.below(n)];
}

}  // namespace

std::vector<CatalogItem> SampleCatalog::generate(std::size_t count, std::uint64_t seed) {
    Random r(seed);
    std::vector<CatalogItem> items;
    items.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        CatalogItem item;
        item.id = 10000001 + i;
        const std::size_t row = 1 + r.below(80);
        item.categoryId = std::string(CategoryTable().at(static_cast<int>(row)).code);

        std::string title;
        if (r.chance(0.6)) title.append(r.pick(kLeading)).append(" ");
        if (r.chance(0.35)) title.append(r.pick(kBrands)).append(" ");
        title.append(categoryNoun(r, row));
        if (r.chance(0.3)) title.append(" ").append(categoryNoun(r, row));
        if (r.chance(0.55)) title.append(" ").append(r.pick(kTrailing));
        item.title = std::move(title);

        // Prices spread over orders of magnitude: 1 to 20,000 yuan.
        item.priceFen = static_cast<std::int64_t>(std::exp(r.unit() * std::log(20000.0)) * 100.0);
        item.priceFen -= item.priceFen % 10;
        if (r.chance(0.04)) {
            item.province = "";
            item.city = std::string(r.pick(kCountries));
        } else {
            const Place& p = r.pick(kPlaces);
            item.province = std::string(p.province);
            item.city = std::string(p.city);
        }
        const std::size_t nickLength = 2 + r.below(3);
        for (std::size_t k = 0; k < nickLength; ++k) item.seller.append(r.pick(kNickParts));
        item.seller += std::to_string(r.below(1000));
        // Most sellers are low grades; few reach the crowns.
        item.creditIndex = static_cast<int>(std::min(19.0, std::floor(-std::log(1.0 - r.unit()) * 4.0)));
        item.sales = static_cast<std::int64_t>(std::pow(r.unit(), 4.0) * 5000.0);
        item.commission = static_cast<std::int64_t>(std::pow(r.unit(), 3.0) * 800.0);
        constexpr std::array<double, 7> kServiceShare{0.04, 0.15, 0.5, 0.6, 0.1, 0.2, 0.7};
        for (std::size_t f = 0; f < kServiceShare.size(); ++f) {
            if (r.chance(kServiceShare[f])) item.services |= 1u << f;
        }
        item.url = "https://www.example.com/item/" + std::to_string(item.id);
        items.push_back(std::move(item));
    }
    return items;
}

}  // namespace quorvel
