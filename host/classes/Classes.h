// The component and streaming layer in one include: objects and class metadata, components,
// collections, string lists, and reading and writing window descriptions.
#pragma once
#include "host/classes/Collection.h"
#include "host/classes/Component.h"
#include "host/classes/Filer.h"
#include "host/classes/Object.h"
#include "host/classes/StringList.h"
