#pragma once

// The position names a report designer works with (Left, Top, Width, Height, in the
// report's own units), for any printable widget. Mixed into the printable classes
// beside their widget base: Widget is the class itself.
template <typename Widget>
class TQRDesignBounds {
public:
    int Left() const { return self().x(); }
    void SetLeft(int left) { self().move(left, self().y()); }
    int Top() const { return self().y(); }
    void SetTop(int top) { self().move(self().x(), top); }
    int Width() const { return self().width(); }
    void SetWidth(int width) { self().resize(width, self().height()); }
    int Height() const { return self().height(); }
    void SetHeight(int height) { self().resize(self().width(), height); }
    void SetBounds(int left, int top, int width, int height) { self().setGeometry(left, top, width, height); }

private:
    Widget &self() { return static_cast<Widget &>(*this); }
    const Widget &self() const { return static_cast<const Widget &>(*this); }
};
