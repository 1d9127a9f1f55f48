#pragma once
#include <QProxyStyle>

// The platform's own style, with the two pictures that Fusion reads from image files at start-up drawn
// without reading them: the group-box frame (the same pixels) and the menu bar's overflow arrow. The
// first image read loads and scans every image format plugin, which cost more than building the pages.
class ZelvakonStyle : public QProxyStyle {
    Q_OBJECT
public:
    explicit ZelvakonStyle(QStyle* base = nullptr);

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;

private:
    bool IsFusion() const;
};
