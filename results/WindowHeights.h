#pragma once

namespace quorvel {

// The window's two layouts: the search panel alone, or with the result tabs.
class WindowHeights {
public:
    static constexpr int CollapsedClientHeight = 68;
    static constexpr int ExpandedClientHeight = 613;

    virtual ~WindowHeights() = default;
    virtual void expand() = 0;
    virtual void collapse() = 0;
};

}  // namespace quorvel
