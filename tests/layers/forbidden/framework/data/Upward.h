#pragma once
// A data header that reaches up into the toolkit: the check must refuse it.
#include "ui/Form.h"
