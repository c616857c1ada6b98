// A record set as the rows a batch report walks: each band makes the next
// row current, so that the slots bound to it show that row.
#pragma once

#include "platform/report/Report.h"
#include "records/RecordSet.h"

namespace waybill {

class RecordSetSource : public report::RecordSource {
 public:
  explicit RecordSetSource(RecordSet* set) : set_(set) {}
  bool isOpen() const override { return set_->isOpen(); }
  int rowCount() const override { return set_->rowCount(); }
  void moveTo(int row) override { set_->setCurrentRow(row); }

 private:
  RecordSet* set_;
};

}  // namespace waybill
