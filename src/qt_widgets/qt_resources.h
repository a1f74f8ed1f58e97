#pragma once
// The compiled-in resources of the desktop tool: icon 128 at 32 x 32 and
// 16 x 16. Threading: user-interface thread only.

#include <QIcon>

namespace tavlink::app {

// Registers the resources; safe to call more than once.
void InitResources();

// Icon 128 with both of its pictures.
QIcon AppIcon();

}  // namespace tavlink::app
