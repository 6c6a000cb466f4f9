#include "app/ui/SortHeader.h"

#include <QPainter>

namespace lockwell {
namespace {
constexpr int kImageSize = 16;
constexpr int kMargin = 4;
}  // namespace

SortHeader::SortHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
  setSectionsClickable(true);
  setSortIndicatorShown(false);
  setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

QIcon SortHeader::Icon(int image) {
  switch (image) {
    case kDescendingImage:
      return QIcon(QStringLiteral(":/lockwell/icon133.png"));
    case kAscendingImage:
      return QIcon(QStringLiteral(":/lockwell/icon132.png"));
    default:
      return QIcon();
  }
}

void SortHeader::SetImage(int column, int image) {
  const int old = column_;
  column_ = image == kNoImage ? -1 : column;
  image_ = image;
  if (old >= 0) updateSection(old);
  if (column_ >= 0) updateSection(column_);
}

void SortHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
  // The base leaves its own clip behind; the image is drawn with ours.
  painter->save();
  QHeaderView::paintSection(painter, rect, logicalIndex);
  painter->restore();
  if (logicalIndex != column_ || image_ == kNoImage) return;
  // Right of the text: after the text's width, or at the section's right
  // edge when the text fills it.
  const QString text = model()->headerData(logicalIndex, orientation()).toString();
  const int textRight = rect.left() + kMargin + fontMetrics().horizontalAdvance(text) + kMargin;
  const int x = std::min(textRight, rect.right() - kImageSize - kMargin);
  const QRect target(std::max(x, rect.left()), rect.top() + (rect.height() - kImageSize) / 2, kImageSize,
                     kImageSize);
  painter->save();
  painter->setClipRect(rect);
  Icon(image_).paint(painter, target);
  painter->restore();
}

}  // namespace lockwell
