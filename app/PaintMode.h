#pragma once
#include "core/book/PaintMode.h"
