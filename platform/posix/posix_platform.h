// The Linux side of the platform seam: real sleeps with fine timer slack, standard output
// with Linux line ends, and a tone that back ends with sound can take over.
#pragma once

// Installs the Linux seam; call before any thread is started (timer slack is inherited).
void installPosixPlatform();

// A back end that can sound the tone registers it here (null: the silent 250 ms wait).
using ToneFunction = void (*)(int hertz, int ms);
void setPlatformTone(ToneFunction tone);
