#pragma once

#include <QDialog>
#include <array>
#include <vector>

#include "report/data_merge.h"

class QCheckBox;

namespace chanwright {

// `frmMerge`: the parts of another data file to copy into the data being edited. Everything but
// the identity (user MMSI and ATIS number) starts ticked: a radio keeps its own unless asked.
class MergeDialog : public QDialog {
    Q_OBJECT
  public:
    explicit MergeDialog(const QString& fileName, QWidget* parent = nullptr);

    std::vector<report::MergePart> Parts() const;

  private:
    static constexpr int kParts = 7;
    std::array<QCheckBox*, kParts> boxes_{};
};

}  // namespace chanwright
