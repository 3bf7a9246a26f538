// The UI-description reader, its attributes, controllers and view creators.
#pragma once

#include "uidescription/uiattributes.h"
#include "uidescription/icontroller.h"
#include "uidescription/iuidescription.h"
#include "uidescription/uidescription.h"
#include "uidescription/iviewcreator.h"
#include "uidescription/iviewfactory.h"
#include "uidescription/uiviewfactory.h"
#include "uidescription/uiviewcreator.h"
#include "uidescription/detail/uiviewcreatorattributes.h"
