// The geometry types of the library's boundary: a subset of the openNURBS
// toolkit with its class names, signatures and behaviour.
#pragma once

#include "opennurbs/opennurbs_defines.h"
#include "opennurbs/opennurbs_point.h"
#include "opennurbs/opennurbs_array.h"
#include "opennurbs/opennurbs_bounding_box.h"
#include "opennurbs/opennurbs_interval.h"
#include "opennurbs/opennurbs_xform.h"
#include "opennurbs/opennurbs_plane.h"
#include "opennurbs/opennurbs_surface.h"
#include "opennurbs/opennurbs_nurbssurface.h"
#include "opennurbs/opennurbs_mesh.h"
