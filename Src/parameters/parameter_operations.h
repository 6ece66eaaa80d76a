// The parameter operations' bodies.  Set and read requests arrive on any
// application thread, also while another thread grabs on the same
// instance; the information queries need no instance at all.
#pragma once

#include "base/records.h"
#include "bindings/host.h"

// Every set request, also one the gate refuses, makes the next synchronous
// grab stop the stream, unless an asynchronous grab keeps it running.
void NoteSetRequest() noexcept;

// Sets one parameter of an open instance whose device string still selects
// its camera.  H_MSG_OK, H_ERR_FGPARAM (not a settable name), H_ERR_FGPART
// (a value of the wrong type) or the parameter's own refusal.
Herror SetParameter(Hproc_handle proc_id, const OpenInstance& open, const char* name,
                    const ParamValue* value);

// Answers a parameter name or metadata query of an open instance into
// value[0..] and *num_value (1 unless the answer says otherwise).  H_MSG_OK,
// H_ERR_FGPARAM for a name that is not answered, H_ERR_FGPARV when the
// camera refuses a range read.
Herror GetParameter(const OpenInstance& open, const char* name, ParamValue* value,
                    int32_t* num_value);

// Information query `query`: *info always, and a value list in one host
// block for the queries that have one.
Herror AnswerInfoQuery(Hproc_handle proc_id, int32_t query, const char** info, ParamValue** values,
                       int32_t* num_values);
