#include "platform/ui/OutlinedText.h"

#include <QFile>
#include <QGlyphRun>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QTextLayout>

#include <fontconfig/fontconfig.h>

#include <cmath>
#include <map>
#include <memory>
#include <tuple>
#include <utility>

namespace ui {

namespace {

// The painter's glyph cache takes glyphs up to this many device pixels.
constexpr double largestCachedGlyph = 64;

// The file (and face index in it) the font database draws this face from.
std::pair<QString, int> fontFile(const QRawFont& face)
{
    const std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)> pattern(FcPatternCreate(), FcPatternDestroy);
    const QByteArray family = face.familyName().toUtf8();
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.constData()));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, FcWeightFromOpenType(face.weight()));
    FcPatternAddInteger(pattern.get(), FC_SLANT, face.style() == QFont::StyleNormal ? FC_SLANT_ROMAN : FC_SLANT_ITALIC);
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    const std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)> match(FcFontMatch(nullptr, pattern.get(), &result),
                                                                       FcPatternDestroy);
    FcChar8* file = nullptr;
    int index = 0;
    if (!match || FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch)
        return {};
    FcPatternGetInteger(match.get(), FC_INDEX, 0, &index);
    return {QString::fromUtf8(reinterpret_cast<const char*>(file)), index};
}

// A face loaded from the font file's own bytes, so that no other text
// drawing touches its state; one per face and size. Raw fonts belong to the
// thread that made them, and overlays are drawn off the main thread.
QRawFont privateFace(const QRawFont& shared)
{
    using Key = std::tuple<QString, int, int, double>;
    thread_local std::map<Key, QRawFont> faces;
    const Key key{shared.familyName(), shared.weight(), shared.style(), shared.pixelSize()};
    auto found = faces.find(key);
    if (found == faces.end()) {
        const auto [file, index] = fontFile(shared);
        QFile data(file);
        QRawFont face;
        if (index == 0 && !file.isEmpty() && data.open(QIODevice::ReadOnly))
            face = QRawFont(data.readAll(), shared.pixelSize(), shared.hintingPreference());
        // The database may match another family than the one shaped with.
        if (face.familyName() != shared.familyName())
            face = {};
        found = faces.emplace(key, face).first;
    }
    return found->second;
}

} // namespace

bool drawOutlinedText(QPainter& painter, const QFont& font, const QPointF& baseline, const QString& text)
{
    const double scale = std::sqrt(std::abs(painter.combinedTransform().determinant()));
    const double pixelSize = font.pointSizeF() * painter.device()->logicalDpiY() / 72;
    if (pixelSize * scale < largestCachedGlyph)
        return false;
    QTextLayout layout(text, font, painter.device());
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid())
        return false;
    const QList<QGlyphRun> runs = line.glyphRuns();
    QPainterPath outlines;
    outlines.setFillRule(Qt::WindingFill);
    for (const QGlyphRun& run : runs) {
        const QRawFont face = privateFace(run.rawFont());
        if (!face.isValid())
            return false;
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < glyphs.size(); ++i)
            outlines.addPath(face.pathForGlyph(glyphs[i]).translated(positions[i]));
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(outlines.translated(baseline.x(), baseline.y() - line.ascent()), painter.pen().color());
    painter.restore();
    return true;
}

} // namespace ui
