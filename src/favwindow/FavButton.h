#pragma once

#include <QPushButton>

// A favorite's button. It keeps its hint as built for it and, apart from it, the link it
// opens, so that a name containing "Path:" or a link containing "CMT:" still opens right.
class FavButton : public QPushButton {
    Q_OBJECT
public:
    FavButton(qint32 id, const QString& caption, const QString& hint, const QString& link, QWidget* parent);
    qint32 favoriteId() const { return m_id; }
    const QString& hint() const { return m_hint; }
    const QString& link() const { return m_link; }
    // Shows an edited favorite; the button keeps its place.
    void setFavorite(const QString& caption, const QString& hint, const QString& link);

signals:
    void mouseMoved(QWidget* sender);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    qint32 m_id;
    QString m_hint;
    QString m_link;
};

// Escapes "&" so that a caption shows as written instead of making a mnemonic.
QString PlainButtonText(const QString& text);
