#pragma once

#include "FavoriteRecord.h"

#include <QDialog>
#include <QPointer>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QMimeData;
class QPushButton;
class TFrmFav;

// The favorite editor: adds a favorite (add mode) or changes one in place (edit mode).
// Made for one use by its opener, shown modally and destroyed when it closes.
class TFrmEdtFav : public QDialog {
    Q_OBJECT
public:
    // mainWindow receives the new or moved buttons; owner is the opening window.
    TFrmEdtFav(TFrmFav* mainWindow, QWidget* owner);

    // Dialog state, set by the opener before showing.
    bool EditMode = false;
    int RecordNo = 0;
    qint32 FavID = 0;
    // The title of a dragged web link handed over in DroppedFile; empty for files.
    QString DroppedTitle;

    void FormCreate();
    void FormShow();
    void BtnApdClick();
    void BtnEdtClick();
    void BtnCancelClick();
    void BtnDownloadClick();
    void EdtUrlChange();
    // Files or links dropped on the open dialog; the last one's values remain.
    void DropOnEditor(const QMimeData* data);

protected:
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createControls();
    void setFields(const QString& name, const QString& comment, const QString& url);
    // The category box's choice; false (after telling the user) when it cannot be saved.
    bool takeCategory(QString& name, int& position);

    QPointer<TFrmFav> m_main;
    QGroupBox* m_groupBox = nullptr;
    QLineEdit* m_edtName = nullptr;
    QLineEdit* m_edtUrl = nullptr;
    QLineEdit* m_edtComment = nullptr;
    QComboBox* m_cmbCate = nullptr;
    QPushButton* m_btnApd = nullptr;
    QPushButton* m_btnEdt = nullptr;
    QPushButton* m_btnCancel = nullptr;
    QPushButton* m_btnDownload = nullptr;
    bool m_shown = false;
    // The edited record as CurrentFavorite held it when the dialog showed: another editor
    // (Ctrl+D while this one is open) may fill CurrentFavorite before Confirm.
    FavoriteRecord m_record;
};
