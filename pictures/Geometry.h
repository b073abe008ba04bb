#pragma once
// Points, sizes and rectangles in a surface's pixels, as every window system's backend hands
// them to the controls: x to the right, y downwards, (0, 0) the top-left pixel.

namespace Pictures {

struct Point {
    int x;
    int y;
};

struct Size {
    int width;
    int height;
};

// Left and top edges inside, right and bottom edges outside, as window systems count them.
struct Rect {
    int left;
    int top;
    int right;
    int bottom;

    constexpr int Width() const noexcept { return right - left; }
    constexpr int Height() const noexcept { return bottom - top; }
    constexpr bool IsEmpty() const noexcept { return right <= left || bottom <= top; }
    // An empty rectangle holds no point.
    constexpr bool Contains(Point point) const noexcept
    {
        return point.x >= left && point.x < right && point.y >= top && point.y < bottom;
    }
    constexpr Point TopLeft() const noexcept { return Point{left, top}; }
};

constexpr Rect RectAt(Point topLeft, Size size) noexcept
{
    return Rect{topLeft.x, topLeft.y, topLeft.x + size.width, topLeft.y + size.height};
}

// The pixels both hold; empty when they do not meet.
constexpr Rect Intersection(const Rect& a, const Rect& b) noexcept
{
    const Rect both{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
                    a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
    return both.IsEmpty() ? Rect{0, 0, 0, 0} : both;
}

// The smallest rectangle that holds both; an empty one adds nothing.
constexpr Rect Union(const Rect& a, const Rect& b) noexcept
{
    if (a.IsEmpty())
        return b;
    if (b.IsEmpty())
        return a;
    return Rect{a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top,
                a.right > b.right ? a.right : b.right, a.bottom > b.bottom ? a.bottom : b.bottom};
}

} // namespace Pictures
