#pragma once

// Only for the drawing backend's sources: the painter and font are Qt's.
class QFont;
class QPainter;
class QPointF;
class QString;

namespace ui {

// Draws one line of text the way the painter does, as long as it is too
// big for the painter's glyph cache, as filled outlines of a face of its
// own. The painter draws such text from outlines of a face it shares among
// all sizes of a font file, which keeps the sub-pixel offset of whatever
// small glyph it rendered last: the same large text would come out shifted
// differently from one paint to the next. Returns false, drawing nothing,
// for text the glyph cache takes (the painter's own drawing is right there).
bool drawOutlinedText(QPainter& painter, const QFont& font, const QPointF& baseline, const QString& text);

} // namespace ui
