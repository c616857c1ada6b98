// An on-screen memo of a field slot: read-only text over the form's
// picture, broken into lines by the same routine that fills the print box,
// so that the screen and the paper show the same lines.
#pragma once

#include <QFont>
#include <QString>
#include <QWidget>

namespace waybill {

class MemoView : public QWidget {
  Q_OBJECT
 public:
  explicit MemoView(QWidget* parent = nullptr);
  void setText(const QString& text);
  QString text() const { return text_; }
  void setMemoFont(const QFont& f);
  QFont memoFont() const { return font_; }
  // The lines as shown, which the print box takes before its band prints.
  QStringList lines() const;

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  QString text_;
  QFont font_;
};

// The branding label on screen: its caption drawn as the paper's label
// draws it, sized to the caption.
class LabelView : public QWidget {
  Q_OBJECT
 public:
  LabelView(const QString& caption, const QFont& font, QWidget* parent = nullptr);
  QString text() const { return caption_; }

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  QString caption_;
  QFont font_;
};

}  // namespace waybill
