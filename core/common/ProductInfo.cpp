#include "core/common/ProductInfo.h"
namespace pagero {
const char *ProductTitleAndVersion() { return kApplicationTitle; }
}
