// The title bar a window draws itself on Wayland where the compositor draws no frame: Qt's own
// frame there offers minimise and maximise buttons whatever the window's hints, and cuts a title
// that does not clear all three. This one holds the title, centred and whole where it fits, and a
// close button while the window may close; pressing the bar moves the window.
#pragma once

#include <QMargins>
#include <QWidget>

class QToolButton;

namespace qm::qt {

class TitleBar final : public QWidget {
public:
    // Spans the top of `window`, which it frames with a line round its other sides.
    TitleBar(QWidget& window, double dpi);

    // Around the window's client area: the bar above, the line elsewhere.
    QMargins frameMargins() const;
    void setClosable(bool closable);
    bool closable() const;
    // The window's frame line; the window paints it.
    static void paintFrameLine(QWidget& window);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
    QToolButton* close_;
    int height_;
};

}  // namespace qm::qt
