#include "tools/catalog_builder/json.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace catalog_builder {

namespace {

const JsonValue kNull{};

class Parser {
public:
    explicit Parser(std::string_view t) : text_(t) {}

    bool Document(JsonValue& out, std::string& error) {
        SkipSpace();
        if (!Value(out, 0)) {
            error = message_ + " at byte " + std::to_string(pos_);
            return false;
        }
        SkipSpace();
        if (pos_ != text_.size()) {
            error = "trailing characters at byte " + std::to_string(pos_);
            return false;
        }
        return true;
    }

private:
    bool Fail(const char* what) {
        message_ = what;
        return false;
    }

    void SkipSpace() {
        while (pos_ < text_.size() &&
               (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n' || text_[pos_] == '\r'))
            ++pos_;
    }

    bool Literal(std::string_view word) {
        if (text_.substr(pos_, word.size()) != word) return Fail("unknown literal");
        pos_ += word.size();
        return true;
    }

    bool Value(JsonValue& out, int depth) {
        if (depth > 200) return Fail("nesting too deep");
        if (pos_ >= text_.size()) return Fail("unexpected end");
        char c = text_[pos_];
        switch (c) {
            case '{': return Object(out, depth);
            case '[': return Array(out, depth);
            case '"': out.kind = JsonValue::Kind::String; return String(out.text);
            case 't': out.kind = JsonValue::Kind::Bool; out.boolean = true; return Literal("true");
            case 'f': out.kind = JsonValue::Kind::Bool; out.boolean = false; return Literal("false");
            case 'n': out.kind = JsonValue::Kind::Null; return Literal("null");
            default: return Number(out);
        }
    }

    bool Object(JsonValue& out, int depth) {
        out.kind = JsonValue::Kind::Object;
        ++pos_;
        SkipSpace();
        if (pos_ < text_.size() && text_[pos_] == '}') {
            ++pos_;
            return true;
        }
        for (;;) {
            SkipSpace();
            if (pos_ >= text_.size() || text_[pos_] != '"') return Fail("expected a member name");
            std::string key;
            if (!String(key)) return false;
            SkipSpace();
            if (pos_ >= text_.size() || text_[pos_] != ':') return Fail("expected ':'");
            ++pos_;
            SkipSpace();
            out.members.emplace_back(std::move(key), JsonValue{});
            if (!Value(out.members.back().second, depth + 1)) return false;
            SkipSpace();
            if (pos_ >= text_.size()) return Fail("unexpected end in object");
            if (text_[pos_] == ',') {
                ++pos_;
                continue;
            }
            if (text_[pos_] == '}') {
                ++pos_;
                return true;
            }
            return Fail("expected ',' or '}'");
        }
    }

    bool Array(JsonValue& out, int depth) {
        out.kind = JsonValue::Kind::Array;
        ++pos_;
        SkipSpace();
        if (pos_ < text_.size() && text_[pos_] == ']') {
            ++pos_;
            return true;
        }
        for (;;) {
            SkipSpace();
            out.items.emplace_back();
            if (!Value(out.items.back(), depth + 1)) return false;
            SkipSpace();
            if (pos_ >= text_.size()) return Fail("unexpected end in array");
            if (text_[pos_] == ',') {
                ++pos_;
                continue;
            }
            if (text_[pos_] == ']') {
                ++pos_;
                return true;
            }
            return Fail("expected ',' or ']'");
        }
    }

    static void AppendUtf8(std::string& s, unsigned cp) {
        if (cp < 0x80) {
            s += static_cast<char>(cp);
        } else if (cp < 0x800) {
            s += static_cast<char>(0xC0 | (cp >> 6));
            s += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            s += static_cast<char>(0xE0 | (cp >> 12));
            s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            s += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            s += static_cast<char>(0xF0 | (cp >> 18));
            s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            s += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    bool Hex4(unsigned& v) {
        if (pos_ + 4 > text_.size()) return Fail("short \\u escape");
        v = 0;
        for (int i = 0; i < 4; ++i) {
            char h = text_[pos_++];
            v <<= 4;
            if (h >= '0' && h <= '9') v |= static_cast<unsigned>(h - '0');
            else if (h >= 'a' && h <= 'f') v |= static_cast<unsigned>(h - 'a' + 10);
            else if (h >= 'A' && h <= 'F') v |= static_cast<unsigned>(h - 'A' + 10);
            else return Fail("bad \\u escape");
        }
        return true;
    }

    bool String(std::string& out) {
        ++pos_;  // opening quote
        out.clear();
        while (pos_ < text_.size()) {
            char c = text_[pos_++];
            if (c == '"') return true;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= text_.size()) break;
            char e = text_[pos_++];
            switch (e) {
                case '"': out += '"'; break;
                case '\\': out += '\\'; break;
                case '/': out += '/'; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'u': {
                    unsigned cp = 0;
                    if (!Hex4(cp)) return false;
                    if (cp >= 0xD800 && cp < 0xDC00 && text_.substr(pos_, 2) == "\\u") {
                        pos_ += 2;
                        unsigned lo = 0;
                        if (!Hex4(lo)) return false;
                        cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
                    }
                    AppendUtf8(out, cp);
                    break;
                }
                default: return Fail("bad escape");
            }
        }
        return Fail("unterminated string");
    }

    bool Number(JsonValue& out) {
        std::size_t start = pos_;
        while (pos_ < text_.size()) {
            char c = text_[pos_];
            if ((c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E') ++pos_;
            else break;
        }
        if (start == pos_) return Fail("unexpected character");
        out.kind = JsonValue::Kind::Number;
        auto r = std::from_chars(text_.data() + start, text_.data() + pos_, out.number);
        if (r.ec != std::errc() || r.ptr != text_.data() + pos_) return Fail("bad number");
        return true;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    std::string message_;
};

}  // namespace

const JsonValue& JsonValue::operator[](std::string_view key) const {
    if (kind != Kind::Object) return kNull;
    for (const auto& m : members)
        if (m.first == key) return m.second;
    return kNull;
}

double JsonValue::AsNumber(double fallback) const {
    if (kind == Kind::Number) return number;
    if (kind != Kind::String || text.empty()) return fallback;
    double v = 0.0;
    std::size_t b = 0;
    while (b < text.size() && text[b] == ' ') ++b;
    if (b < text.size() && text[b] == '+') ++b;
    auto r = std::from_chars(text.data() + b, text.data() + text.size(), v);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return fallback;
    return v;
}

std::string JsonValue::AsText() const {
    if (kind == Kind::String) return text;
    if (kind == Kind::Number) {
        char buf[32];
        auto r = std::to_chars(buf, buf + sizeof buf, number);
        return std::string(buf, r.ptr);
    }
    return {};
}

bool ParseJson(std::string_view text, JsonValue& out, std::string& error) {
    out = JsonValue{};
    return Parser(text).Document(out, error);
}

}  // namespace catalog_builder
