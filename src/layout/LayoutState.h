#pragma once
// What the next arrangement of the panels follows.

namespace aurivo {

// Nothing to arrange, the first placement from the remembered geometry, or a window resized mostly in
// height or mostly in width (the other side follows at 4:3).
enum class LayoutState { Idle = 0, FirstPlacement = 1, FollowHeight = 2, FollowWidth = 3 };

} // namespace aurivo
