#include "ItemRecord.h"

#include <nlohmann/json.hpp>

#include "Vocabulary.h"

namespace quorvel {

using nlohmann::json;

std::string ItemRecord(const CatalogItem& item) {
    json j;
    j["id"] = item.id;
    j["title"] = item.title;
    j["cid"] = item.categoryId;
    const auto category = CategoryTable().indexOfCode(item.categoryId);
    j["category"] = category ? std::string(CategoryTable().at(*category).display) : std::string();
    j["price"] = item.priceFen;
    j["province"] = item.province;
    j["city"] = item.city;
    j["seller"] = item.seller;
    j["credit"] = std::string(CreditTable().at(item.creditIndex).code);
    j["creditText"] = std::string(CreditTable().at(item.creditIndex).display);
    j["sales"] = item.sales;
    j["commission"] = item.commission;
    json services = json::array();
    for (std::size_t i = 0; i < ServiceFilterTable().size(); ++i) {
        if (item.services & (1u << i)) services.push_back(std::string(ServiceFilterTable()[i].name));
    }
    j["services"] = services;
    if (!item.image.empty()) j["image"] = item.image;
    if (!item.url.empty()) j["url"] = item.url;
    return j.dump();
}

}  // namespace quorvel
