#include "platform/ui/Font.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/Paths.h"
#include "platform/foundation/RunLoop.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QTextLayout>

#include <algorithm>
#include <map>
#include <mutex>

namespace ui {

namespace {

constexpr double defaultSize = 12; // what the platform gives for a size of 0

// Text is laid out on a 72 dpi device so that one font point is one point of
// our space; the drawing contexts use the same resolution.
const QPaintDevice* pointDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
        image.setDotsPerMeterX(2835);
        image.setDotsPerMeterY(2835);
        return image;
    }();
    return &device;
}

// Fonts need the GUI application; tests and tools that never called
// fnd::initPlatform get one here. Fonts bundled in resources/fonts are
// registered once.
void ensureFontSystem()
{
    static std::once_flag once;
    std::call_once(once, [] {
        if (!QGuiApplication::instance()) {
            static int argc = 1;
            static char name[] = "norvale";
            static char* argv[] = {name, nullptr};
            fnd::initPlatform(argc, argv);
        }
        std::error_code error;
        const auto folder = fnd::Paths::resources() / "fonts";
        for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
            const auto ext = entry.path().extension().string();
            if (ext == ".ttf" || ext == ".otf" || ext == ".TTF" || ext == ".OTF") {
                if (QFontDatabase::addApplicationFont(QString::fromStdString(entry.path().string())) < 0)
                    fnd::log(fnd::LogLevel::Warning, "cannot load font " + entry.path().string());
            }
        }
    });
}

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

bool hasFamily(const QString& family)
{
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

std::string firstInstalled(std::initializer_list<const char*> families)
{
    for (const char* family : families)
        if (hasFamily(QString::fromUtf8(family)))
            return family;
    return {};
}

const std::string& sansFamily()
{
    static const std::string family = [] {
        const std::string installed = firstInstalled({"DejaVu Sans", "Liberation Sans", "Noto Sans"});
        return installed.empty() ? QFontDatabase::systemFont(QFontDatabase::GeneralFont).family().toStdString() : installed;
    }();
    return family;
}

const std::string& monoFamily()
{
    static const std::string family = [] {
        const std::string installed = firstInstalled({"DejaVu Sans Mono", "Liberation Mono", "Noto Sans Mono"});
        return installed.empty() ? QFontDatabase::systemFont(QFontDatabase::FixedFont).family().toStdString() : installed;
    }();
    return family;
}

struct Resolved {
    std::string family;
    FontWeight weight = FontWeight::Regular;
    bool italic = false;
};

// The weight and slant that a PostScript-style name ("HelveticaNeue-Bold")
// carries in its suffix.
void applyStyleSuffix(const std::string& name, Resolved& r)
{
    const auto dash = name.rfind('-');
    if (dash == std::string::npos)
        return;
    const std::string style = name.substr(dash + 1);
    if (style.find("bold") != std::string::npos || style == "db" || style.find("heavy") != std::string::npos
        || style.find("black") != std::string::npos)
        r.weight = FontWeight::Bold;
    else if (style.find("medium") != std::string::npos)
        r.weight = FontWeight::Medium;
    else if (style.find("light") != std::string::npos)
        r.weight = style.find("ultra") != std::string::npos ? FontWeight::Thin : FontWeight::Light;
    else if (style.find("thin") != std::string::npos)
        r.weight = FontWeight::Thin;
    r.italic = style.find("italic") != std::string::npos || style.find("oblique") != std::string::npos;
}

Resolved resolve(const std::string& name)
{
    const std::string key = lower(name);
    Resolved r;
    if (hasFamily(QString::fromStdString(name))) {
        r.family = name;
        return r;
    }
    // The app's digital display faces: a seven-segment face when the system
    // has one, else a bold monospace so that figures keep their width.
    if (key.rfind("digital", 0) == 0) {
        r.family = firstInstalled({"DSEG7 Classic", "DSEG7 Modern", "DSEG14 Classic"});
        if (r.family.empty()) {
            r.family = monoFamily();
            r.weight = FontWeight::Bold;
        }
        return r;
    }
    applyStyleSuffix(key, r);
    if (key.rfind("menlo", 0) == 0 || key.rfind("courier", 0) == 0 || key.rfind("monaco", 0) == 0)
        r.family = monoFamily();
    else
        r.family = sansFamily();
    return r;
}

QFont::Weight qtWeight(FontWeight w)
{
    switch (w) {
    case FontWeight::Thin: return QFont::Thin;
    case FontWeight::Light: return QFont::Light;
    case FontWeight::Regular: return QFont::Normal;
    case FontWeight::Medium: return QFont::Medium;
    case FontWeight::Bold: return QFont::Bold;
    }
    return QFont::Normal;
}

QFont qfont(const Font& font)
{
    QFont q;
    q.fromString(QString::fromStdString(font.descriptor()));
    return q;
}

} // namespace

Font::Font() : Font(systemFont(17)) {}

Font::Font(std::string name, std::string family, double size, FontWeight weight, bool italic)
    : name_(std::move(name)), family_(std::move(family)), size_(size > 0 ? size : defaultSize), weight_(weight),
      italic_(italic)
{
    QFont q(QString::fromStdString(family_));
    q.setPointSizeF(size_);
    q.setWeight(qtWeight(weight_));
    q.setItalic(italic_);
    q.setKerning(true);
    descriptor_ = q.toString().toStdString();
    const QFontMetricsF metrics(q, pointDevice());
    ascender_ = metrics.ascent();
    descender_ = -metrics.descent();
    lineHeight_ = metrics.lineSpacing();
    capHeight_ = metrics.capHeight();
}

Font Font::systemFont(double size, FontWeight weight)
{
    ensureFontSystem();
    return Font(".SystemFont", sansFamily(), size, weight, false);
}

Font Font::boldSystemFont(double size) { return systemFont(size, FontWeight::Bold); }

Font Font::italicSystemFont(double size)
{
    ensureFontSystem();
    return Font(".SystemFont-Italic", sansFamily(), size, FontWeight::Regular, true);
}

Font Font::named(const std::string& name, double size)
{
    ensureFontSystem();
    // Screens ask for the same few names over and over; the font database
    // lookup behind resolve() is not cheap.
    // Overlays may be drawn off the main thread.
    static std::mutex mutex;
    static std::map<std::string, Resolved> cache;
    Resolved r;
    {
        const std::lock_guard lock(mutex);
        auto found = cache.find(name);
        if (found == cache.end())
            found = cache.emplace(name, resolve(name)).first;
        r = found->second;
    }
    return Font(name, r.family, size, r.weight, r.italic);
}

Font Font::withSize(double size) const { return Font(name_, family_, size, weight_, italic_); }

double Font::widthOf(const std::string& text) const
{
    return QFontMetricsF(qfont(*this), pointDevice()).horizontalAdvance(QString::fromStdString(text));
}

namespace {

struct RawLine {
    QString text;
    double width = 0;
    bool paragraphEnd = false; // last line of its paragraph
    QString rest;              // this line and what follows in the paragraph
    bool cut = false;
};

bool truncates(LineBreakMode mode)
{
    return mode == LineBreakMode::TruncateHead || mode == LineBreakMode::TruncateTail
        || mode == LineBreakMode::TruncateMiddle;
}

Qt::TextElideMode elideMode(LineBreakMode mode)
{
    switch (mode) {
    case LineBreakMode::TruncateHead: return Qt::ElideLeft;
    case LineBreakMode::TruncateMiddle: return Qt::ElideMiddle;
    default: return Qt::ElideRight;
    }
}

void breakParagraph(const QString& paragraph, const QFont& font, const TextLayoutOptions& options, bool wrap,
                    std::vector<RawLine>& out)
{
    const QFontMetricsF metrics(font, pointDevice());
    if (!wrap || paragraph.isEmpty()) {
        out.push_back({paragraph, metrics.horizontalAdvance(paragraph), true, paragraph});
        return;
    }
    QTextLayout layout(paragraph, font, const_cast<QPaintDevice*>(pointDevice()));
    QTextOption textOption;
    textOption.setWrapMode(options.lineBreak == LineBreakMode::CharWrap ? QTextOption::WrapAnywhere
                                                                        : QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(textOption);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(options.maxWidth);
        const QString text = paragraph.mid(line.textStart(), line.textLength());
        const QString rest = paragraph.mid(line.textStart());
        out.push_back({text, line.naturalTextWidth(), false, rest});
    }
    layout.endLayout();
    if (!out.empty())
        out.back().paragraphEnd = true;
}

} // namespace

TextLayout layoutText(const std::string& text, const Font& font, const TextLayoutOptions& options)
{
    TextLayout result;
    if (text.empty())
        return result;
    ensureFontSystem();
    const QFont q = qfont(font);
    const QFontMetricsF metrics(q, pointDevice());
    const bool singleLine = options.maxLines == 1;
    const bool wrap = options.maxWidth > 0 && !singleLine
        && (options.lineBreak == LineBreakMode::WordWrap || options.lineBreak == LineBreakMode::CharWrap
            || truncates(options.lineBreak) || options.lineBreak == LineBreakMode::Clip);

    std::vector<RawLine> lines;
    for (const QString& paragraph : QString::fromStdString(text).split(QLatin1Char('\n')))
        breakParagraph(paragraph, q, options, wrap, lines);

    const bool cut = options.maxLines > 0 && static_cast<int>(lines.size()) > options.maxLines;
    if (cut)
        lines.resize(static_cast<std::size_t>(options.maxLines));

    if (options.maxWidth > 0 && truncates(options.lineBreak)) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            RawLine& line = lines[i];
            const bool last = i + 1 == lines.size();
            line.cut = (last && cut) || line.width > options.maxWidth;
            if (last && cut) {
                // The last line that shows stands for everything after it.
                QString shown = line.rest.trimmed();
                const QString ellipsis = QStringLiteral("\u2026");
                QString elided = metrics.elidedText(shown, elideMode(options.lineBreak), options.maxWidth);
                if (elided == shown && line.paragraphEnd)
                    elided = metrics.elidedText(shown + ellipsis, Qt::ElideRight, options.maxWidth);
                if (elided == shown)
                    elided = shown + ellipsis;
                line.text = elided;
            } else if (line.width > options.maxWidth) {
                line.text = metrics.elidedText(line.text, elideMode(options.lineBreak), options.maxWidth);
            }
            line.width = metrics.horizontalAdvance(line.text);
        }
    }

    if (cut)
        lines.back().cut = true;
    const double lineHeight = font.lineHeight();
    double widest = 0;
    for (RawLine& line : lines) {
        while (line.text.endsWith(QLatin1Char(' ')) && wrap) {
            line.text.chop(1);
            line.width = metrics.horizontalAdvance(line.text);
        }
        widest = std::max(widest, options.maxWidth > 0 ? std::min(line.width, options.maxWidth) : line.width);
    }
    const double container = options.maxWidth > 0 ? options.maxWidth : widest;
    double y = 0;
    for (const RawLine& line : lines) {
        const double width = options.maxWidth > 0 ? std::min(line.width, options.maxWidth) : line.width;
        double x = 0;
        if (options.alignment == TextAlignment::Center)
            x = (container - width) / 2;
        else if (options.alignment == TextAlignment::Right)
            x = container - width;
        const bool overflows = options.maxWidth > 0 && line.width > options.maxWidth + 0.5;
        result.lines.push_back({line.text.toStdString(), {x, y}, line.width, y + font.ascender(), line.cut || overflows});
        y += lineHeight;
    }
    result.size = {widest, y};
    return result;
}

Size measureText(const std::string& text, const Font& font, double maxWidth)
{
    return layoutText(text, font, {maxWidth, 0, LineBreakMode::WordWrap, TextAlignment::Left}).size;
}

} // namespace ui
