#pragma once
// The general-purpose JSON library's own reading and writing of a text, kept
// beside the wire codec so that benchmarks can measure the codec against it
// without naming the library outside framework/net.
#include <memory>
#include <string>
#include <string_view>

namespace net {

class ReferenceJson {
public:
    // Parses text; throws std::exception for malformed text.
    explicit ReferenceJson(std::string_view text);
    ~ReferenceJson();
    ReferenceJson(ReferenceJson&&) noexcept;
    // Compact text of the parsed tree.
    std::string Dump() const;
    // Parses text and drops the tree (the cost of reading alone).
    static void ParseOnly(std::string_view text);

private:
    struct Tree;
    std::unique_ptr<Tree> tree_;
};

}  // namespace net
