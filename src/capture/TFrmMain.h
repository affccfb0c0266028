#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

class QAction;
class QLabel;
class QMenu;
class TFrmFav;

// The DropZone: a small frameless window on top of all others, showing only its picture.
// Files and links dropped on it, a double-click and its "Add to" menu open the favorite editor.
// Its creation makes and fills CategoryList.
class TFrmMain : public QWidget {
    Q_OBJECT
public:
    explicit TFrmMain(TFrmFav* mainWindow);
    ~TFrmMain() override;

    QLabel* image() const { return m_image; }
    QMenu* popupMenu() const { return m_popupMenu1; }
    QMenu* addToMenu() const { return m_addTo; }

    void FormCreate();
    void FormShow();
    void FormDestroy();
    void Image1DblClick();
    void AddToMenuClick(QAction* item);
    void ShowFavClick();
    void Hide1Click();
    void ExitClick();
    // Keeping "Add to" in step with CategoryList: item i is named "AddTo" + i.
    void itemAdded(int position, const QString& name);
    void itemRenamed(int position, const QString& name);
    void itemRemoved(int position);
    // How "&Exit" ends the program (tests replace it).
    static void setQuit(std::function<void()> quit);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QAction* makeAddToItem(int position, const QString& name);
    void renumberItems();

    QPointer<TFrmFav> m_main;
    QLabel* m_image = nullptr;
    QMenu* m_popupMenu1 = nullptr;
    QMenu* m_addTo = nullptr;
    // Where the left button went down on the picture, and, while the window follows the mouse
    // by hand (no window manager to move it), where the mouse holds the window.
    std::optional<QPoint> m_pressPos;
    std::optional<QPoint> m_dragOffset;
};
