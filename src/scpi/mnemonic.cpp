#include "scpi/mnemonic.h"

#include <cctype>
#include <tuple>
#include <utility>

namespace korvel::scpi {
namespace {

struct PatternNode {
    std::string_view form;    // without its suffix
    std::string_view suffix;  // the digits, or empty
    bool optional = false;
};

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// A word split into its letters and its trailing digits.
std::pair<std::string_view, std::string_view> split_suffix(std::string_view word) {
    std::size_t end = word.size();
    while (end > 0 && is_digit(word[end - 1])) --end;
    return {word.substr(0, end), word.substr(end)};
}

std::vector<PatternNode> pattern_nodes(std::string_view pattern) {
    std::vector<PatternNode> nodes;
    int brackets = 0;  // nodes inside [...] may be left out
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        if (c == '[' || c == ']' || c == ':') {
            brackets += c == '[' ? 1 : c == ']' ? -1 : 0;
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < pattern.size() && pattern[end] != '[' && pattern[end] != ']' &&
               pattern[end] != ':')
            ++end;
        PatternNode n;
        std::tie(n.form, n.suffix) = split_suffix(pattern.substr(i, end - i));
        n.optional = brackets > 0;
        nodes.push_back(n);
        i = end;
    }
    return nodes;
}

bool node_matches(const PatternNode& p, std::string_view word) {
    const auto [letters, suffix] = split_suffix(word);
    if (!mnemonic_matches(p.form, letters)) return false;
    if (p.suffix.empty()) return suffix.empty();
    return suffix == p.suffix || (suffix.empty() && p.suffix == "1");
}

bool match_from(std::span<const PatternNode> pattern, std::span<const std::string> nodes) {
    if (pattern.empty()) return nodes.empty();
    const PatternNode& p = pattern.front();
    if (!nodes.empty() && node_matches(p, nodes.front()) &&
        match_from(pattern.subspan(1), nodes.subspan(1)))
        return true;
    return p.optional && match_from(pattern.subspan(1), nodes);
}

}  // namespace

std::string short_form(std::string_view form) {
    std::string s;
    for (char c : form)
        if (!std::islower(static_cast<unsigned char>(c))) s += c;
    return s;
}

bool mnemonic_matches(std::string_view form, std::string_view word) {
    if (word.size() == form.size()) {
        for (std::size_t i = 0; i < form.size(); ++i)
            if (std::toupper(static_cast<unsigned char>(form[i])) != word[i]) return false;
        return true;
    }
    return word == short_form(form);
}

bool header_matches(std::string_view pattern, std::span<const std::string> nodes) {
    const std::vector<PatternNode> p = pattern_nodes(pattern);
    return match_from(p, nodes);
}

}  // namespace korvel::scpi
