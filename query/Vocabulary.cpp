#include "Vocabulary.h"

#include <iterator>
#include <string>
#include <utility>

#include "QueryFormat.h"

namespace quorvel {
namespace {

constexpr VocabularyRow kCategories[] = {
    {"所有类目", ""},
    {"女装/女士精品", "16"},
    {"美容护肤/美体/精油", "1801"},
    {"彩妆/香水/美发/工具", "50010788"},
    {"男装", "30"},
    {"流行男鞋", "50011740"},
    {"女鞋", "50006843"},
    {"箱包皮具/热销女包/男包", "50006842"},
    {"服饰配件/皮带/帽子/围巾", "50010404"},
    {"女士内衣/男士内衣/家居服", "1625"},
    {"运动服/运动包/颈环配件", "50011699"},
    {"运动鞋", "50010388"},
    {"孕产妇营养/用品/孕妇装", "50022517"},
    {"童装/童鞋/亲子装", "50008165"},
    {"手机", "1512"},
    {"国货精品手机", "50012081"},
    {"数码相机/摄像机/摄影器材", "14"},
    {"MP3/MP4/iPod/录音笔", "1201"},
    {"笔记本电脑", "1101"},
    {"平板电脑/MID", "50019780"},
    {"电脑硬件/显示器/电脑周边", "11"},
    {"台式机/一体机/服务器", "50018222"},
    {"网络设备/网络相关", "50018264"},
    {"3C数码配件市场", "50008090"},
    {"闪存卡/U盘/存储/移动硬盘", "50012164"},
    {"办公设备/耗材/相关服务", "50007218"},
    {"电子词典/电纸书/文化用品", "50018004"},
    {"电玩/配件/游戏/攻略", "20"},
    {"大家电", "50022703"},
    {"影音电器", "50011972"},
    {"生活电器", "50012100"},
    {"厨房电器", "50012082"},
    {"个人护理/保健/按摩器材", "50002768"},
    {"家装主材", "27"},
    {"基础建材", "50020332"},
    {"五金/工具", "50020485"},
    {"电子/电工", "50020579"},
    {"住宅家具", "50008164"},
    {"商业/办公家具", "50020611"},
    {"布艺软饰", "50020670"},
    {"工艺饰品", "50020808"},
    {"特色手工艺", "50020857"},
    {"酒店客栈/景点门票/度假旅游", "50011949"},
    {"居家日用/收纳/礼品", "21"},
    {"厨房/餐饮用具", "50016349"},
    {"日化/清洁/护理", "50016348"},
    {"床上用品/靠垫/毛巾/布艺", "50008163"},
    {"奶粉/辅食/营养品", "35"},
    {"尿片/洗护/喂哺/推车床", "50014812"},
    {"益智玩具/早教/童玩车", "50005998"},
    {"品牌保健品", "50020276"},
    {"传统滋补品/其他保健营养品", "50020275"},
    {"零食/坚果/茶叶/特产", "50002766"},
    {"粮油/蔬果/干货/速食/水产", "50016422"},
    {"演出/吃喝玩乐折扣券", "50008075"},
    {"腾讯QQ专区", "40"},
    {"运动/瑜伽/健身/球迷用品", "50010728"},
    {"户外/登山/野营/旅行用品", "50013886"},
    {"玩具/娃娃/模型/动漫/桌游", "25"},
    {"网游装备/游戏币/帐号/代练", "50011665"},
    {"手机号码/套餐/增值业务", "50008907"},
    {"网络游戏点卡", "99"},
    {"古董/邮币/字画/收藏", "23"},
    {"鲜花速递/花卉仿真/绿植园艺", "50007216"},
    {"汽车/用品/配件/改装/摩托", "26"},
    {"移动/联通/电信充值中心", "50004958"},
    {"品牌手表/流行手表", "50005700"},
    {"珠宝/钻石/翡翠/黄金", "50011397"},
    {"ZIPPO/瑞士军刀/眼镜", "28"},
    {"书籍/杂志/报纸", "33"},
    {"音乐/影视/明星/音像", "34"},
    {"乐器/吉他/钢琴/配件", "50017300"},
    {"宠物/宠物食品及用品", "29"},
    {"成人用品", "2813"},
    {"饰品/流行首饰/时尚饰品新", "50013864"},
    {"电子凭证", "50018252"},
    {"世博会特许商品", "50014442"},
    {"网店/网络服务/个性定制/软件", "50014811"},
    {"网游垂直市场根类目", "50016891"},
    {"彩票", "50017908"},
    {"其它", "50011150"},
};

constexpr VocabularyRow kLocations[] = {
    {"所有地区", ""},
    {"江浙沪", "江苏,浙江,上海"},
    {"珠三角", "广州,深圳,中山,珠海,佛山,东莞,惠州"},
    {"港澳台", "香港,澳门,台湾"},
    {"海外", "美国,英国,法国,瑞士,澳洲,新西兰,加拿大,奥地利,韩国,日本,德国,意大利,西班牙,俄罗斯,泰国,印度,荷兰,新加坡,其它国家"},
    {"北京", "北京"},
    {"香港", "香港"},
    {"上海", "上海"},
    {"杭州", "杭州"},
    {"广州", "广州"},
    {"深圳", "深圳"},
    {"南京", "南京"},
    {"武汉", "武汉"},
    {"天津", "天津"},
    {"成都", "成都"},
    {"哈尔滨", "哈尔滨"},
    {"重庆", "重庆"},
    {"宁波", "宁波"},
    {"无锡", "无锡"},
    {"济南", "济南"},
    {"苏州", "苏州"},
    {"温州", "温州"},
    {"青岛", "青岛"},
    {"沈阳", "沈阳"},
    {"福州", "福州"},
    {"西安", "西安"},
    {"长沙", "长沙"},
    {"合肥", "合肥"},
    {"南宁", "南宁"},
    {"南昌", "南昌"},
    {"郑州", "郑州"},
    {"厦门", "厦门"},
    {"大连", "大连"},
    {"常州", "常州"},
    {"石家庄", "石家庄"},
    {"东莞", "东莞"},
    {"安徽", "安徽"},
    {"福建", "福建"},
    {"甘肃", "甘肃"},
    {"广东", "广东"},
    {"广西", "广西"},
    {"贵州", "贵州"},
    {"海南", "海南"},
    {"河北", "河北"},
    {"黑龙江", "黑龙江"},
    {"河南", "河南"},
    {"湖北", "湖北"},
    {"湖南", "湖南"},
    {"江苏", "江苏"},
    {"江西", "江西"},
    {"吉林", "吉林"},
    {"辽宁", "辽宁"},
    {"内蒙古", "内蒙古"},
    {"宁夏", "宁夏"},
    {"青海", "青海"},
    {"山东", "山东"},
    {"山西", "山西"},
    {"陕西", "陕西"},
    {"四川", "四川"},
    {"新疆", "新疆"},
    {"西藏", "西藏"},
    {"云南", "云南"},
    {"浙江", "浙江"},
};

constexpr VocabularyRow kSorts[] = {
    {"默认排序", "commissionVolume_desc"},
    {"价格从低到高", "price_asc"},
    {"价格从高到低", "price_desc"},
    {"信用从高到低", "credit_desc"},
    {"销量从高到低", "commissionNum_desc"},
};

// Display texts keep their leading and inner spaces: the lists line the grades up with them.
constexpr VocabularyRow kCredits[] = {
    {"  一  心", "1heart"},
    {"  二  心", "2heart"},
    {"  三  心", "3heart"},
    {"  四  心", "4heart"},
    {"  五  心", "5heart"},
    {"  一  钻", "1diamond"},
    {"  二  钻", "2diamond"},
    {"  三  钻", "3diamond"},
    {"  四  钻", "4diamond"},
    {"  五  钻", "5diamond"},
    {" 一皇冠", "1crown"},
    {" 二皇冠", "2crown"},
    {" 三皇冠", "3crown"},
    {" 四皇冠", "4crown"},
    {" 五皇冠", "5crown"},
    {" 一金冠", "1goldencrown"},
    {" 二金冠", "2goldencrown"},
    {" 三金冠", "3goldencrown"},
    {" 四金冠", "4goldencrown"},
    {" 五金冠", "5goldencrown"},
};

}  // namespace

const VocabularyTable& CategoryTable() {
    static const VocabularyTable table("category", kCategories);
    return table;
}

const VocabularyTable& LocationTable() {
    static const VocabularyTable table("location", kLocations);
    return table;
}

const VocabularyTable& SortTable() {
    static const VocabularyTable table("sort", kSorts);
    return table;
}

SortOrder SortOrderOfRow(int sortRow) {
    static constexpr std::pair<std::string_view, SortOrder> kOrders[] = {
        {"commissionVolume_desc", SortOrder::CommissionDesc}, {"price_asc", SortOrder::PriceAsc},
        {"price_desc", SortOrder::PriceDesc},                 {"credit_desc", SortOrder::CreditDesc},
        {"commissionNum_desc", SortOrder::SalesDesc},
    };
    const std::string_view code = SortTable().at(sortRow).code;
    for (const auto& [key, order] : kOrders) {
        if (key == code) return order;
    }
    throw VocabularyError("sort key " + std::string(code) + " has no order");
}

static_assert(std::size(kCredits) == CreditGrades, "the credit table and the format's grade count agree");

const VocabularyTable& CreditTable() {
    static const VocabularyTable table("credit", kCredits);
    return table;
}

const std::array<ServiceFilterRow, ServiceFilterCount>& ServiceFilterTable() {
    static constexpr std::array<ServiceFilterRow, ServiceFilterCount> table{{
        {ServiceFilter::Overseas, "oi", "海外商品", "&oi=true"},
        {ServiceFilter::CashOnDelivery, "co", "货到付款", "&co=true"},
        {ServiceFilter::AsDescribed, "rd", "如实描述", "&rd=true"},
        {ServiceFilter::SevenDayReturn, "sr", "七天退换", "&sr=true"},
        {ServiceFilter::Mall, "mall", "淘宝商城", "&mall=true"},
        {ServiceFilter::ThirtyDayRepair, "or", "30天维修", "&or=true"},
        {ServiceFilter::Guarantee, "gu", "消保商品", "&gu=true"},
    }};
    return table;
}

}  // namespace quorvel
