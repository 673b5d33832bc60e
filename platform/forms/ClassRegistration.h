// The classes of this tier that layouts may name, registered with the
// class registry at start-up.
#pragma once

void RegisterFormsClasses();
