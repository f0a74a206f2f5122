#include "core/settings/IniFile.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

namespace mw {
namespace {

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string_view TrimBlanks(std::string_view s) {
    const char* blanks = " \t";
    auto first = s.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

// The section name of a "[name]" line.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = TrimBlanks(line);
    if (line.size() < 2 || line.front() != '[') return std::nullopt;
    auto close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return TrimBlanks(line.substr(1, close - 1));
}

// The key of a "key=value" line, and where its value starts.
std::optional<std::pair<std::string_view, std::size_t>> KeyOf(std::string_view line) {
    std::string_view trimmed = TrimBlanks(line);
    if (trimmed.empty() || trimmed.front() == ';') return std::nullopt;
    auto eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return std::make_pair(TrimBlanks(line.substr(0, eq)), eq + 1);
}

// A value as read: without surrounding blanks and one pair of surrounding quotes.
std::string_view Unwrapped(std::string_view raw) {
    std::string_view v = TrimBlanks(raw);
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    return v;
}

// A value as it must be written to read back as itself: in quotes when its
// own blanks, quotes or a last carriage return would be taken off.
std::string Wrapped(std::string_view value) {
    if (Unwrapped(value) == value && (value.empty() || value.back() != '\r')) {
        return std::string(value);
    }
    return "\"" + std::string(value) + "\"";
}

struct Document {
    std::vector<std::string> lines;
    std::string eol = "\r\n";
    bool endsWithEol = true;
};

Document Parse(const std::string& text) {
    Document doc;
    if (!text.empty() && text.find("\r\n") == std::string::npos &&
        text.find('\n') != std::string::npos) {
        doc.eol = "\n";
    }
    std::size_t pos = 0;
    while (pos < text.size()) {
        auto nl = text.find('\n', pos);
        std::string line = text.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        doc.lines.push_back(line);
        if (nl == std::string::npos) {
            doc.endsWithEol = false;
            break;
        }
        pos = nl + 1;
    }
    return doc;
}

// Index range [first, last) of the body of the first section of that name.
std::optional<std::pair<std::size_t, std::size_t>> FindSection(const Document& doc,
                                                               std::string_view section) {
    for (std::size_t i = 0; i < doc.lines.size(); ++i) {
        auto name = SectionName(doc.lines[i]);
        if (!name || !EqualNoCase(*name, section)) continue;
        std::size_t end = i + 1;
        while (end < doc.lines.size() && !SectionName(doc.lines[end])) ++end;
        return std::make_pair(i + 1, end);
    }
    return std::nullopt;
}

std::optional<std::size_t> FindKey(const Document& doc, std::pair<std::size_t, std::size_t> body,
                                   std::string_view key) {
    for (std::size_t i = body.first; i < body.second; ++i) {
        auto k = KeyOf(doc.lines[i]);
        if (k && EqualNoCase(k->first, key)) return i;
    }
    return std::nullopt;
}

std::string Join(const Document& doc) {
    std::string out;
    for (std::size_t i = 0; i < doc.lines.size(); ++i) {
        out += doc.lines[i];
        if (i + 1 < doc.lines.size() || doc.endsWithEol) out += doc.eol;
    }
    return out;
}

void SetEntry(Document& doc, std::string_view section, std::string_view key,
              std::string_view value) {
    std::string entry = std::string(key) + "=" + Wrapped(value);
    if (auto body = FindSection(doc, section)) {
        if (auto line = FindKey(doc, *body, key)) {
            doc.lines[*line] = entry;
        } else {
            // After the section's last non-blank line, so a blank separator stays last.
            std::size_t at = body->second;
            while (at > body->first && TrimBlanks(doc.lines[at - 1]).empty()) --at;
            doc.lines.insert(doc.lines.begin() + static_cast<std::ptrdiff_t>(at), entry);
        }
    } else {
        doc.lines.push_back("[" + std::string(section) + "]");
        doc.lines.push_back(entry);
        doc.endsWithEol = true;
    }
}

}  // namespace

Result<std::string> IniFile::Text() const {
    if (!fs_.FileExists(path_)) return newFileText_;
    return fs_.ReadFile(path_);
}

std::optional<std::string> IniFile::Lookup(std::string_view section, std::string_view key) const {
    Result<std::string> text = Text();
    if (!text) return std::nullopt;
    Document doc = Parse(*text);
    auto body = FindSection(doc, section);
    if (!body) return std::nullopt;
    auto line = FindKey(doc, *body, key);
    if (!line) return std::nullopt;
    std::string_view raw = doc.lines[*line];
    return std::string(Unwrapped(raw.substr(KeyOf(raw)->second)));
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue, std::size_t bufferSize) const {
    std::string value = Lookup(section, key).value_or(std::string(defaultValue));
    if (bufferSize > 0 && value.size() > bufferSize - 1) value.resize(bufferSize - 1);
    return value;
}

int IniFile::ReadInt(std::string_view section, std::string_view key, int defaultValue) const {
    std::optional<std::string> value = Lookup(section, key);
    if (!value) return defaultValue;
    std::size_t i = 0;
    const bool negative = i < value->size() && (*value)[i] == '-';
    if (negative) ++i;
    long long n = 0;
    for (; i < value->size() && std::isdigit(static_cast<unsigned char>((*value)[i])); ++i) {
        n = std::min<long long>(n * 10 + ((*value)[i] - '0'), 0x7FFFFFFF);
    }
    return static_cast<int>(negative ? -n : n);
}

Status IniFile::WriteString(std::string_view section, std::string_view key,
                            std::string_view value) {
    return WriteStrings(section, {{std::string(key), std::string(value)}});
}

Status IniFile::WriteStrings(std::string_view section,
                             const std::vector<std::pair<std::string, std::string>>& entries) {
    Result<std::string> text = Text();
    if (!text) return text.error();
    for (const auto& [key, value] : entries) {
        // A line break would end the value and start a line of its own.
        if (value.find('\n') != std::string::npos) {
            return MakeError(errc::BadData,
                             path_ + ": the value of " + key +
                                 " holds a line break, which a settings file cannot keep");
        }
    }
    Document doc = Parse(*text);
    for (const auto& [key, value] : entries) SetEntry(doc, section, key, value);
    return fs_.ReplaceFile(path_, Join(doc), Readers::Everyone);
}

}  // namespace mw
