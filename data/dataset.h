#pragma once

// The data sets: a cursor with editing states over the rows of a table file
// (Table) or of an SQL text (Query), and the source bound controls connect
// to (DataSource). The order in which a data set's signals and callbacks
// fire for append, edit, post, cancel, delete and moves is written down at
// DataSet, in datasetstate.h.

#include "data/datasetstate.h"
#include "data/datasource.h"
#include "data/query.h"
#include "data/table.h"
