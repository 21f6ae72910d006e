// Every remote method the screen, its dialogs and the stock library call is
// one the server offers. The call sites are read from the source, so a call
// added to the code is checked without anyone listing it here; a call whose
// method name is not a literal (other than the forwarding wrappers) fails the
// test, since it could not be checked.
#include "Cli_pla02000/model/RetiradaConnections.h"
#include "ServerFixture.h"
#include "core/Text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

namespace {

struct CallSite {
    std::string where;       // file:line
    std::string connection;  // the connection's component name (netRetirada)
    std::string method;
};

// The file with // comments blanked (line numbers kept).
std::string sourceText(const std::filesystem::path& p) {
    std::ifstream in(p);
    std::ostringstream out;
    std::string line;
    while (std::getline(in, line)) {
        bool quoted = false;
        for (size_t i = 0; i + 1 < line.size(); ++i) {
            if (line[i] == '"' && (i == 0 || line[i - 1] != '\\')) quoted = !quoted;
            if (!quoted && line[i] == '/' && line[i + 1] == '/') {
                line.erase(i);
                break;
            }
        }
        out << line << '\n';
    }
    return out.str();
}

int lineOf(const std::string& text, size_t pos) {
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(pos), '\n'));
}

std::string lastName(const std::string& expr) {
    static const std::regex name(R"re(([A-Za-z_]\w*)\s*$)re");
    std::smatch m;
    return std::regex_search(expr, m, name) ? m[1].str() : expr;
}

// Call sites of CallServer(conn, "M", ...), call(conn, "M", ...) (the stock
// library's wrapper) and conn.Call("M", ...) in the folders given.
std::vector<CallSite> callSites(const std::vector<std::string>& folders, std::vector<std::string>& unchecked) {
    static const std::regex any(R"re(\b(?:CallServer|call)\s*\(|(?:\.|->)\s*Call\s*\()re");
    static const std::regex wrapper(R"re(^\s*([A-Za-z_][\w.>\-]*)\s*,\s*"(\w+)")re");
    static const std::regex member(R"re(([A-Za-z_]\w*)\s*(?:\.|->)\s*Call\s*\($)re");
    static const std::regex literal(R"re(^\s*"(\w+)")re");
    // Declarations, and wrappers that pass on the name they were given.
    static const std::regex passedOn(R"re(^\s*(?:TNetConnection\b|(?:[A-Za-z_][\w.>\-]*\s*,\s*)?method\b))re");
    std::vector<CallSite> out;
    for (const auto& folder : folders) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
            const auto ext = entry.path().extension();
            if (ext != ".cpp" && ext != ".h") continue;
            const std::string text = sourceText(entry.path());
            const std::string file = entry.path().filename().string();
            for (auto it = std::sregex_iterator(text.begin(), text.end(), any); it != std::sregex_iterator(); ++it) {
                const size_t at = static_cast<size_t>(it->position()) + static_cast<size_t>(it->length());
                const std::string after = text.substr(at, 200);
                const std::string where = file + ":" + std::to_string(lineOf(text, at));
                std::smatch m;
                const std::string head = it->str();
                if (head.find("Call") != std::string::npos && head.find("CallServer") == std::string::npos) {
                    if (std::regex_search(after, m, literal)) {
                        std::smatch who;
                        const std::string before = text.substr(at > 80 ? at - 80 : 0, at > 80 ? 80 : at);
                        std::regex_search(before, who, member);
                        out.push_back({where, who.empty() ? "" : who[1].str(), m[1].str()});
                        continue;
                    }
                } else if (std::regex_search(after, m, wrapper)) {
                    out.push_back({where, lastName(m[1].str()), m[2].str()});
                    continue;
                }
                if (!std::regex_search(after, passedOn)) unchecked.push_back(where);
            }
        }
    }
    return out;
}

std::string moduleOf(const std::string& connection) {
    const auto* c = model::FindScreenConnection(connection);
    return c ? std::string(c->serverModule) : std::string();
}

std::set<std::string> serverMethods() {
    auto conn = testing_server::Connect(testing_server::Via::InProcess, "System");
    Variant list = conn->Call("ListMethods");
    std::set<std::string> names;
    if (!list.IsArray()) return names;
    for (const auto& n : list.AsArray()) names.insert(text::Upper(n.AsString()));
    return names;
}

}  // namespace

TEST(RemoteNames, EveryMethodTheClientCallsIsRegistered) {
    const std::string root = PLA_SOURCE_DIR;
    std::vector<std::string> folders{root + "/stocklib"};
    for (const auto& entry : std::filesystem::directory_iterator(root))
        if (entry.is_directory() && text::StartsWith(entry.path().filename().string(), "Cli_pla020"))
            folders.push_back(entry.path().string());
    std::vector<std::string> unchecked;
    const auto sites = callSites(folders, unchecked);
    std::string list;
    for (const auto& u : unchecked) list += " " + u;
    EXPECT_TRUE(unchecked.empty()) << "remote calls whose method name is not written at the call:" << list;
    // The screen reads through a dozen and more methods today; far fewer means the scan went blind.
    EXPECT_GE(sites.size(), 15u);

    const auto names = serverMethods();
    ASSERT_FALSE(names.empty());
    for (const auto& s : sites) {
        const std::string module = moduleOf(s.connection);
        EXPECT_FALSE(module.empty()) << s.where << ": no connection named " << s.connection;
        EXPECT_TRUE(names.count(text::Upper(module + "." + s.method)))
            << s.where << ": " << module << "." << s.method << " is not a method of the server";
    }
}
