#pragma once

#include "ButtonLayout.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <optional>

class ButtonBox;
class IniDocument;
struct PendingButton;
class FavButton;
class QMenu;
class QTabWidget;
class QToolButton;
class QAction;
class QSystemTrayIcon;

// The main window: one tab page per category, each with a box of favorite buttons.
class TFrmFav : public QMainWindow {
    Q_OBJECT
public:
    explicit TFrmFav(QWidget* parent = nullptr);
    ~TFrmFav() override;

    QTabWidget* pageControl() const { return m_pageControl; }
    ButtonBox* buttonBox(int position) const;
    // The button of a favorite, made now if its page has not been shown yet; null when none.
    FavButton* favoriteButton(qint32 id);
    QList<FavButton*> favoriteButtons();
    bool hasFavoriteButton(qint32 id) const { return m_buttons.contains(id) || m_pendingIds.contains(id); }

    // Creation sequence of the window.
    void FormCreate();
    // Builds the page "TBST"+i with its box "SBOX"+i as the last tab.
    void BuildCategoryPage(int i, bool atStartUp);
    void LoadFavoriteButtons();
    // The button of CurrentFavorite on page i, in the category's next slot. During a load the
    // button of a page not yet shown is only noted (null is returned) and made when it shows.
    FavButton* AddFavoriteButton(int i);
    void FavBtnMouseMove(QWidget* sender);
    void SBOXdblClick(QWidget* sender);
    // Destroys every favorite button (and only those).
    void DestroyFavoriteButtons();

    // The position number that ends a component name, such as 3 of "SBOX3"; -1 when none.
    static int PositionFromName(const QString& name, const QString& prefix);
    // The category name shown by page i.
    QString pageCaption(int i) const;

    // Opening favorites.
    void FavBtnClick(FavButton* sender);
    void MenuOpenUrlClick();
    // Edit and Delete of the favorite menu, on the button it was opened for.
    void MenuEditFavClick();
    void MenuRemoveFavClick();
    // The hotkey was pressed: an add-mode editor.
    void hotykey();
    // The favorite button on which the favorite menu was opened last.
    QWidget* popupComponent() const { return m_popupComponent; }
    void setPopupComponent(QWidget* w) { m_popupComponent = w; }
    // "Download video": the download page for the link of the favorite under the menu.
    void Youtube1Click();

    // Categories.
    void SBtnNewCateClick();
    void SBtnRemoveCateClick();
    void Edit1Click();
    void RenameCategory();
    void PageControl1MouseDown(Qt::MouseButton button, const QPoint& tabBarPos);
    void ShowDropZone1Click();

    // Window state, tray and exit.
    // Saves size and active page and hides the window to the tray; false when saving failed.
    bool FormCloseQuery();
    void N3Click();
    // The desktop session ends (or SIGTERM/SIGINT): the loop ends and nothing is saved.
    void EndSession();
    void TuopanClick();
    void ShowMainWindow();
    void HideMainWindow();
    void ShowTaskbarButton();
    void BitBtn1Click();
    void FormDblClick();
    void SBtnSetupClick();
    void SBtnAboutMouseUp(const QPoint& posInButton);
    QSystemTrayIcon* trayIcon() const { return m_trayIcon; }
    // The five [Size] keys that an Exit saves.
    void SaveExitState();
    // How "&Exit" of the tray ends the process (tests replace it).
    static void setProcessExit(std::function<void(int)> exitFunction);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createControls();
    void createMenus();
    void createTray();
    void renumberPages(int from);
    // [Size] keys in their order: Height, Width, then Top and Right when a DropZone place is
    // given, then CateID.
    void writeWindowState(IniDocument& doc, std::optional<QPoint> dropZone) const;
    bool refuseCategoryName(const QString& name);
    void registerButton(FavButton* button);
    FavButton* makeButton(const PendingButton& pending, ButtonBox* box);
    void materialize(ButtonBox* box);

    QTabWidget* m_pageControl = nullptr;
    QToolButton* m_sbtnAbout = nullptr;
    QToolButton* m_sbtnSetup = nullptr;
    QToolButton* m_sbtnNewCate = nullptr;
    QToolButton* m_sbtnRemoveCate = nullptr;
    QToolButton* m_bitBtn1 = nullptr;
    QToolButton* m_bitBtn2 = nullptr;
    QMenu* m_popupMenu1 = nullptr;
    QMenu* m_popupMenu3 = nullptr;
    QMenu* m_popupMenu4 = nullptr;
    QMenu* m_popupMenu2 = nullptr;
    QSystemTrayIcon* m_trayIcon = nullptr;
    QAction* m_youtube1 = nullptr;
    QAction* m_n1 = nullptr;
    QHash<qint32, FavButton*> m_buttons;
    QHash<qint32, ButtonBox*> m_pendingIds;
    QPointer<QWidget> m_popupComponent;

    // During one load the slot counters and layout values stay in memory and [Categories]
    // is written once at the end, with the same values as one write per button.
    struct LoadBatch {
        QHash<QString, int> slotCounters; // by category name, case folded
        ButtonLayout layout;
    };
    std::optional<LoadBatch> m_batch;
    bool m_duplicateReported = false;
    // Where the DropZone was placed at start, for an Exit without a DropZone window.
    QPoint m_dropZonePos;
};
