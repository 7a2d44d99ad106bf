#include "app/ChildForm.h"
