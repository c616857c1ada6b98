// What the sender, recipient and import pages share: labelled entry boxes
// bound to columns, the grid, adding, changing (with the boxes' modified
// flags), deleting the selected rows, searching one column at a time,
// refreshing, and hiding grid columns through pairs of ticked menu items.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <vector>

#include "platform/ui/Dialogs.h"
#include "records/RecordGrid.h"
#include "records/RecordSet.h"

namespace waybill {

// A font in pixels, as the layout gives sizes.
QFont pixelFont(const QString& family, int pixels, bool bold = false);

class RecordPage : public QWidget {
  Q_OBJECT
 public:
  // The page's show action: what its toolbar button does.
  virtual void showAction() = 0;
  // The boxes emptied when the main window is shown.
  virtual std::vector<QLineEdit*> boxesClearedOnShow() const;

  RecordGrid* grid() const { return grid_; }
  RecordSet* recordSet() const { return set_; }

 protected:
  struct Box {
    const char* label;
    QPoint labelAt;
    const char* name;
    QPoint boxAt;
    int width;
    const char* column;
  };
  RecordPage(ui::Dialogs& dialogs, RecordSet* set, RecordSetModel* model, QWidget* parent);

  QLineEdit* addBox(const Box& b, int height, int fontPixels = 14);
  QLabel* addLabel(const QString& text, QPoint at, const QFont& font);
  void addVerticalTitle(const QString& text);
  // The title "单项查询" over the search boxes, interrupting a rule at `ruleTop`.
  void addSearchTitle(int ruleTop);
  QPushButton* addButton(const char* name, const QString& caption, const QRect& r);
  RecordGrid* addGrid(const char* name, const QRect& r, const QStringList& columns, const std::vector<int>& widths,
                      const QStringList& titles = {});
  // A pair of items in `menu` that hide and show the grid's column.
  void addHidePair(QMenu* menu, const char* hideName, const char* showName, const QString& caption, int column);

  // The pairs of entry box and column, in the order of the boxes.
  std::vector<std::pair<QLineEdit*, QString>> entries_;
  void clearEntries();
  bool entriesEmpty(size_t count) const;  // the first `count` boxes
  std::vector<std::pair<QString, QString>> entryValues() const;

  // Double-click or "修改记录": fill the boxes from the current row.
  void beginChange();
  // "修改": write the boxes the user changed into the current row.
  void finishChange();
  // "删除": the hint, the question, then the selected rows.
  void deleteSelected();
  // "查询" over (box, column) pairs in order; "刷新".
  void search(const std::vector<std::pair<QLineEdit*, QString>>& boxes);
  void refresh(const std::vector<std::pair<QLineEdit*, QString>>& boxes);
  // Makes this page the one in view, focus on `first`.
  void showSelf(QWidget* first);

  // A database error, in the standard error box.  True when there was one.
  bool failed(const std::optional<QString>& error);

  void paintEvent(QPaintEvent* e) override;

  ui::Dialogs& dialogs_;
  RecordSet* set_;
  RecordSetModel* model_;
  RecordGrid* grid_ = nullptr;
  QPushButton* addButton_ = nullptr;
  QPushButton* changeButton_ = nullptr;
};

}  // namespace waybill
