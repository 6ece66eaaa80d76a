// One grab run: open the camera, apply the settings, switch to software
// trigger or asynchronous grabbing if asked, grab and save the frames until
// the count or the duration is reached or a signal asks to stop, then set
// back what the run changed on the camera and close it.
#pragma once

#include "grab_plan.h"
#include "hostlayer/host_driver.h"
#include "interruption.h"

// False after reporting when the run could not start (no directory, the
// open or a setting refused), and when a signal came before the camera was
// opened; grab and save failures are counted in the outcome.  While frames
// are grabbed, the first signal the watch catches aborts a grab that waits.
bool RunGrabPlan(hostlayer::Driver& driver, const GrabPlan& plan, InterruptWatch& watch,
                 GrabOutcome* outcome);
