#pragma once

namespace quorvel {

// What the quick search needs of the window: its two layouts, the search
// panel alone or with the result tabs (the heights are the window's own).
class WindowLayout {
public:
    virtual ~WindowLayout() = default;
    virtual void expand() = 0;
    virtual void collapse() = 0;
};

}  // namespace quorvel
