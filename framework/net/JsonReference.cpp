#include "net/JsonReference.h"

#include <nlohmann/json.hpp>

namespace net {

struct ReferenceJson::Tree {
    nlohmann::json j;
};

ReferenceJson::ReferenceJson(std::string_view text)
    : tree_(std::make_unique<Tree>(Tree{nlohmann::json::parse(text.begin(), text.end())})) {}

ReferenceJson::~ReferenceJson() = default;
ReferenceJson::ReferenceJson(ReferenceJson&&) noexcept = default;

std::string ReferenceJson::Dump() const { return tree_->j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace); }

void ReferenceJson::ParseOnly(std::string_view text) {
    nlohmann::json j = nlohmann::json::parse(text.begin(), text.end());
    (void)j;
}

}  // namespace net
