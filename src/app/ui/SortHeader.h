// The account list's header: draws a column's sort image to the right of
// its text.
//
// Image 0 is icon 133 (descending), image 1 is icon 132 (ascending); at
// most one column carries an image at a time.
#pragma once

#include <QHeaderView>
#include <QIcon>

namespace lockwell {

class SortHeader : public QHeaderView {
  Q_OBJECT

 public:
  static constexpr int kDescendingImage = 0;  // icon 133
  static constexpr int kAscendingImage = 1;   // icon 132
  static constexpr int kNoImage = -1;

  explicit SortHeader(QWidget* parent);

  // Shows `image` beside the text of `column`; kNoImage removes it.
  void SetImage(int column, int image);
  // The image shown beside `column`, or kNoImage.
  int ImageOf(int column) const { return column == column_ ? image_ : kNoImage; }
  // The icon of an image index.
  static QIcon Icon(int image);

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

 private:
  int column_ = -1;
  int image_ = kNoImage;
};

}  // namespace lockwell
