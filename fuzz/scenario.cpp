// Scenario files: parsing gives commands or a ScenarioError, never anything else.
#include "Parser.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        script::ParseScenario(text);
    } catch (const script::ScenarioError&) {
    }
    return 0;
}
