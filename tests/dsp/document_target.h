// The document adapter of the filters lives beside the windows that use it.
#pragma once

#include "views/document_filter_target.h"
