#include "platform/text_fonts.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <memory>
#include <system_error>
#include <vector>

#include "platform/mapped_file.h"
#include "platform/paths.h"
#include "platform/text_engine.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

// Windows-1252 bytes 0x80-0x9F; the rest of the code page is Latin-1.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Latin letters of the symbol encoding, 'A' to 'Z' and 'a' to 'z'.
constexpr char16_t kSymbolUpper[26] = {0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393, 0x0397, 0x0399,
                                       0x03D1, 0x039A, 0x039B, 0x039C, 0x039D, 0x039F, 0x03A0, 0x0398, 0x03A1,
                                       0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9, 0x039E, 0x03A8, 0x0396};
constexpr char16_t kSymbolLower[26] = {0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3, 0x03B7, 0x03B9,
                                       0x03D5, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BF, 0x03C0, 0x03B8, 0x03C1,
                                       0x03C3, 0x03C4, 0x03C5, 0x03D6, 0x03C9, 0x03BE, 0x03C8, 0x03B6};

const char* const kRegularFiles[] = {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"};
const char* const kBoldFiles[] = {"/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"};

FT_Library Library() {
    static FT_Library lib = [] {
        FT_Library l = nullptr;
        if (FT_Init_FreeType(&l) != 0) l = nullptr;
        return l;
    }();
    return lib;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

fs::path Canonical(const fs::path& p) {
    std::error_code ec;
    fs::path c = fs::weakly_canonical(p, ec);
    return ec ? p : c;
}

// A font file, mapped once; faces at each pixel size share it. Mapped rather than read:
// the start registers three fonts of some 750 KB each, of which FreeType reads only the
// tables and glyphs the screens draw.
struct FontFile {
    fs::path path;
    MappedFile bytes;
    bool ok = false;
};

MappedFile MapFile(const fs::path& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return {};
    MappedFile mapped(f);
    std::fclose(f);
    return mapped;
}

std::map<fs::path, std::unique_ptr<FontFile>>& Files() {
    static std::map<fs::path, std::unique_ptr<FontFile>> files;
    return files;
}

FontFile* LoadFile(const fs::path& path) {
    fs::path key = Canonical(path);
    auto it = Files().find(key);
    if (it != Files().end()) return it->second->ok ? it->second.get() : nullptr;
    auto file = std::make_unique<FontFile>();
    file->path = key;
    file->bytes = MapFile(key);
    if (file->bytes.data() && Library()) {
        FT_Face face = nullptr;
        if (FT_New_Memory_Face(Library(), file->bytes.data(), static_cast<FT_Long>(file->bytes.size()), 0, &face) ==
            0) {
            file->ok = true;
            FT_Done_Face(face);
        }
    }
    FontFile* result = file->ok ? file.get() : nullptr;
    Files()[key] = std::move(file);
    return result;
}

std::vector<fs::path>& Registry() {
    static std::vector<fs::path> registered;
    return registered;
}

FontFile* FindDefaultFile(bool bold) {
    for (const char* p : bold ? kBoldFiles : kRegularFiles)
        if (FontFile* f = LoadFile(p)) return f;
    // Without a bold face, draw bold text in the regular one rather than not at all.
    if (bold) return FindDefaultFile(false);
    return nullptr;
}

// Looked up once: text is drawn far too often to ask the file system each time.
FontFile* DefaultFile(bool bold) {
    static FontFile* const regular = FindDefaultFile(false);
    static FontFile* const boldFile = FindDefaultFile(true);
    return bold ? boldFile : regular;
}

// A registered file whose name (without extension) is the face name.
FontFile* RegisteredFile(const std::string& face) {
    const std::string want = Lower(face);
    if (want.empty()) return nullptr;
    for (const fs::path& p : Registry()) {
        // Registered paths are canonical keys of files already loaded.
        auto it = Files().find(p);
        if (it == Files().end() || !it->second->ok) continue;
        FontFile* f = it->second.get();
        // By file name only: the symbol file is a copy of the default face, and matching
        // its family name would serve bold requests from the regular file.
        if (Lower(p.stem().string()) == want) return f;
    }
    return nullptr;
}

}  // namespace

int AddFontFile(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return 0;
    if (!LoadFile(path)) return 0;
    fs::path key = Canonical(path);
    if (std::find(Registry().begin(), Registry().end(), key) == Registry().end()) Registry().push_back(key);
    return 1;
}

bool RemoveFontFile(const fs::path& path) {
    fs::path key = Canonical(path);
    auto it = std::find(Registry().begin(), Registry().end(), key);
    if (it == Registry().end()) return false;
    Registry().erase(it);
    return true;
}

bool IsFontFileAdded(const fs::path& path) {
    fs::path key = Canonical(path);
    return std::find(Registry().begin(), Registry().end(), key) != Registry().end();
}

std::u32string DecodeProgramText(std::string_view text, bool symbol) {
    std::u32string out;
    out.reserve(text.size());
    for (char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (symbol && c >= 'A' && c <= 'Z')
            out.push_back(kSymbolUpper[c - 'A']);
        else if (symbol && c >= 'a' && c <= 'z')
            out.push_back(kSymbolLower[c - 'a']);
        else if (c >= 0x80 && c < 0xA0)
            out.push_back(kHighControls[c - 0x80]);
        else
            out.push_back(c);
    }
    return out;
}

std::string ToUtf8(std::u32string_view text) {
    std::string out;
    for (char32_t c : text) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::string Utf8ToProgramText(std::string_view utf8) {
    std::string out;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        char32_t cp;
        int extra;
        if (c < 0x80) {
            cp = c;
            extra = 0;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F;
            extra = 1;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F;
            extra = 2;
        } else if ((c & 0xF8) == 0xF0) {
            cp = c & 0x07;
            extra = 3;
        } else {
            out.push_back('?');
            ++i;
            continue;
        }
        ++i;
        bool bad = false;
        for (int k = 0; k < extra; ++k, ++i) {
            if (i >= utf8.size() || (static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) {
                bad = true;
                break;
            }
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
        }
        if (bad) {
            out.push_back('?');
            continue;
        }
        char mapped = '?';
        if (cp < 0x80 || (cp >= 0xA0 && cp < 0x100)) {
            mapped = static_cast<char>(cp);
        } else {
            for (int k = 0; k < 32; ++k)
                if (kHighControls[k] == cp) mapped = static_cast<char>(0x80 + k);
        }
        out.push_back(mapped);
    }
    return out;
}

namespace text {

struct Face {
    FT_Face ft = nullptr;
    Metrics metrics;
    std::map<char32_t, Glyph> glyphs;
    ~Face() {
        if (ft) FT_Done_Face(ft);
    }
};

namespace {

std::map<std::pair<const FontFile*, int>, std::unique_ptr<Face>>& Faces() {
    static std::map<std::pair<const FontFile*, int>, std::unique_ptr<Face>> faces;
    return faces;
}

Face* MakeFace(FontFile* file, int em) {
    auto key = std::make_pair(static_cast<const FontFile*>(file), em);
    auto it = Faces().find(key);
    if (it != Faces().end()) return it->second.get();
    auto face = std::make_unique<Face>();
    if (FT_New_Memory_Face(Library(), file->bytes.data(), static_cast<FT_Long>(file->bytes.size()), 0, &face->ft) !=
            0 ||
        FT_Set_Pixel_Sizes(face->ft, 0, static_cast<FT_UInt>(em)) != 0)
        return nullptr;
    const FT_Size_Metrics& m = face->ft->size->metrics;
    face->metrics.ascent = static_cast<int>((m.ascender + 63) >> 6);
    face->metrics.descent = static_cast<int>((-m.descender + 63) >> 6);
    face->metrics.height = face->metrics.ascent + face->metrics.descent;
    Face* raw = face.get();
    Faces()[key] = std::move(face);
    raw->metrics.averageWidth = GlyphOf(raw, U'x').advance;
    return raw;
}

}  // namespace

bool IsSymbolSpec(const FontSpec& desc) { return desc.charset == kSymbolCharset; }

Face* FaceFor(const FontSpec& desc) {
    FontFile* file = RegisteredFile(desc.face);
    if (!file) file = DefaultFile(desc.weight >= 600);
    if (!file) return nullptr;
    int em;
    if (desc.height < 0) {
        em = -desc.height;
    } else if (desc.height > 0) {
        // A positive height asks for the cell; scale the em by the face's own proportions.
        FT_Face probe = nullptr;
        em = desc.height;
        if (FT_New_Memory_Face(Library(), file->bytes.data(), static_cast<FT_Long>(file->bytes.size()), 0, &probe) ==
            0) {
            const int cell = probe->ascender - probe->descender;
            if (cell > 0) em = (desc.height * probe->units_per_EM + cell / 2) / cell;
            FT_Done_Face(probe);
        }
    } else {
        em = 12;
    }
    em = std::clamp(em, 1, 1000);
    return MakeFace(file, em);
}

const Metrics& MetricsOf(const Face* face) {
    static const Metrics none;
    return face ? face->metrics : none;
}

const Glyph& GlyphOf(Face* face, char32_t ch) {
    static const Glyph none;
    if (!face) return none;
    auto it = face->glyphs.find(ch);
    if (it != face->glyphs.end()) return it->second;
    Glyph g;
    if (FT_Load_Char(face->ft, ch, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME) == 0) {
        FT_GlyphSlot slot = face->ft->glyph;
        const FT_Bitmap& bm = slot->bitmap;
        g.width = static_cast<int>(bm.width);
        g.height = static_cast<int>(bm.rows);
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
        g.bits.assign(static_cast<std::size_t>(g.width) * g.height, 0);
        for (int y = 0; y < g.height; ++y) {
            const unsigned char* row = bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch;
            for (int x = 0; x < g.width; ++x) {
                bool ink = bm.pixel_mode == FT_PIXEL_MODE_MONO ? (row[x >> 3] >> (7 - (x & 7))) & 1 : row[x] >= 128;
                g.bits[static_cast<std::size_t>(y) * g.width + x] = ink ? 1 : 0;
            }
        }
    }
    return face->glyphs.emplace(ch, std::move(g)).first->second;
}

}  // namespace text
}  // namespace platform
