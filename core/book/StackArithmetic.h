#pragma once
// The page stacks beside the open pages: their drawn depths, the stack-edge hit bands and the page
// that a pointer position on a stack stands for.
#include "core/book/BookGeometry.h"

namespace pagero {

int LeftStackDepth(int leftPageNo);                     // min(LeftPageNo div 2, StackDepth)
int RightStackDepth(int lastPageNo, int rightPageNo);   // min((LastPageNo - RightPageNo + 1) div 2, StackDepth)

// 0 none, 1 the left stack's edge, 2 the right stack's edge.
int StackEdgeAt(const BookGeometry &g, int x, int y, int leftPageNo, int rightPageNo, int lastPageNo);
// The page a position on a stack stands for: the outer edge is the cover, the inner edge the open page.
int PageFromStack(const BookGeometry &g, int x, int side, int leftPageNo, int rightPageNo, int lastPageNo);

} // namespace pagero
