#pragma once

#include "platform/ui/Geometry.h"

#include <string>
#include <vector>

namespace ui {

enum class FontWeight { Thin, Light, Regular, Medium, Bold };

// A font by name and size, resolved once to an installed family. Names the
// app asks for but the system lacks fall back to a close installed family:
// the digital display faces to a seven-segment face when one is installed,
// else to a bold monospace face. Metrics are in points, like the platform's
// (descender negative).
class Font {
public:
    Font(); // the system font at 17 points

    static Font systemFont(double size, FontWeight weight = FontWeight::Regular);
    static Font boldSystemFont(double size);
    static Font italicSystemFont(double size);
    // A size of 0 or less gives the platform's default of 12 points.
    static Font named(const std::string& name, double size);

    const std::string& name() const { return name_; }     // the name asked for
    const std::string& family() const { return family_; } // the family drawn with
    double pointSize() const { return size_; }
    FontWeight weight() const { return weight_; }
    bool isItalic() const { return italic_; }
    Font withSize(double size) const;

    double ascender() const { return ascender_; }
    double descender() const { return descender_; }
    double lineHeight() const { return lineHeight_; }
    double capHeight() const { return capHeight_; }
    // Advance width of one line of text.
    double widthOf(const std::string& text) const;

    // Opaque description the drawing backend rebuilds the face from.
    const std::string& descriptor() const { return descriptor_; }

    friend bool operator==(const Font& a, const Font& b) { return a.descriptor_ == b.descriptor_; }

private:
    Font(std::string name, std::string family, double size, FontWeight weight, bool italic);

    std::string name_;
    std::string family_;
    double size_ = 17;
    FontWeight weight_ = FontWeight::Regular;
    bool italic_ = false;
    double ascender_ = 0;
    double descender_ = 0;
    double lineHeight_ = 0;
    double capHeight_ = 0;
    std::string descriptor_;
};

// The size text takes: one line per '\n'-separated paragraph when maxWidth
// is 0, else wrapped at word boundaries to at most maxWidth.
Size measureText(const std::string& text, const Font& font, double maxWidth = 0);

enum class TextAlignment { Left, Center, Right, Natural };

enum class LineBreakMode { WordWrap, CharWrap, Clip, TruncateHead, TruncateTail, TruncateMiddle };

struct TextLine {
    std::string text;  // as drawn (with the ellipsis when truncated)
    Point origin;      // top-left of the line box, relative to the layout
    double width = 0;  // advance width of `text`
    double baseline = 0; // from the layout's top
    bool cut = false;  // shows less than its text: truncated, wider than the layout, or standing for lines left out
};

struct TextLayout {
    std::vector<TextLine> lines;
    Size size; // the used extent: widest line by the lines' total height
};

// Breaks text into lines the way labels and text drawing do: explicit
// newlines always break; with maxWidth > 0 lines wrap (word or character
// wrap) or are cut (clip, truncate) to fit; maxLines > 0 keeps that many
// lines and truncates the last by the mode. Alignment places lines within
// maxWidth (within the widest line when maxWidth is 0).
struct TextLayoutOptions {
    double maxWidth = 0;
    int maxLines = 0;
    LineBreakMode lineBreak = LineBreakMode::WordWrap;
    TextAlignment alignment = TextAlignment::Left;
};

TextLayout layoutText(const std::string& text, const Font& font, const TextLayoutOptions& options = {});

} // namespace ui
