#include "TGlobalVarForm.h"

#include "Share/SessionState.h"

#include <QFileDialog>
#include <QFileInfo>

namespace velmora {

namespace {

// The entry as the dialog shows it; Qt reads the patterns from the last parentheses.
QString filterText(const SaveFilter& f) {
    const QString tail = QLatin1Char('(') + f.pattern + QLatin1Char(')');
    return f.text.endsWith(tail) ? f.text : f.text + QLatin1Char(' ') + tail;
}

} // namespace

TGlobalVarForm::TGlobalVarForm(QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("GlobalVarForm"));
    hide();
    SaveDialog2 = new QFileDialog(this);
    SaveDialog2->setObjectName(QStringLiteral("SaveDialog2"));
    // Qt's own dialog, so that the filter position, the default suffix and the type-change
    // signal behave the same on every desktop. Replacing a file is confirmed (the default).
    SaveDialog2->setOption(QFileDialog::DontUseNativeDialog, true);
    SaveDialog2->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog2->setFileMode(QFileDialog::AnyFile);
    SaveDialog2->setSizeGripEnabled(true);
    connect(SaveDialog2, &QFileDialog::filterSelected, this,
            &TGlobalVarForm::SaveDialog2TypeChange);
}

int TGlobalVarForm::filterPosition(const QString& filter) const {
    return int(SaveDialog2->nameFilters().indexOf(filter)) + 1;
}

void TGlobalVarForm::SaveDialog2TypeChange(const QString& filter) {
    const int position = filterPosition(filter);
    if (position <= 0)
        return;
    filterIndex_ = position;
    if (state_)
        state_->SaveFormatIndex = position;
}

std::optional<SaveDialogAnswer> TGlobalVarForm::exec(SessionState& state,
                                                     const SaveDialogRequest& request) {
    QStringList filters;
    for (const SaveFilter& f : request.filters)
        filters << filterText(f);
    state_ = nullptr; // setting the list is not a choice of the user
    SaveDialog2->setNameFilters(filters);
    // The position is kept as a number, also when the list changes; past the end, the first.
    if (filterIndex_ > filters.size())
        filterIndex_ = 1;
    if (!filters.isEmpty())
        SaveDialog2->selectNameFilter(filters[filterIndex_ - 1]);
    if (request.defaultSuffix)
        SaveDialog2->setDefaultSuffix(*request.defaultSuffix);
    if (!request.startFolder.isEmpty())
        SaveDialog2->setDirectory(request.startFolder);
    if (!fileName_.isEmpty())
        SaveDialog2->selectFile(QFileInfo(fileName_).fileName());

    state_ = &state;
    const int result = SaveDialog2->exec();
    state_ = nullptr;
    const int position = filterPosition(SaveDialog2->selectedNameFilter());
    if (position > 0)
        filterIndex_ = position;
    if (result != QDialog::Accepted || SaveDialog2->selectedFiles().isEmpty())
        return std::nullopt;
    fileName_ = QFileInfo(SaveDialog2->selectedFiles().constFirst()).absoluteFilePath();
    return SaveDialogAnswer{fileName_, filterIndex_};
}

} // namespace velmora
