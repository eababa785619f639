#pragma once

#include "Editor/Snapshot.h"

#include <string>

/**
 * One console line for a source: its endpoint and status, then comma-separated "name value" pairs, e.g.
 * "127.0.0.1:9001 Receiving, received 250 (25.0/s), samples 250, dropped 0, rate 25/1, timecode 00:00:10:00,
 * ring 3/6, take A004 #12 recording, unparsed 0, no camera 0, foreign keys 0, gaps 0, repeats 0, underruns 2,
 * jitter 0.12 ms, last datagram 0.0 s ago, senders 1, decimated 0, subject "Orvida - Camera", state Receiving 25/s, Camera 54.4° horizontal,
 * Cine Camera 35.0 mm, 54.4° horizontal". The state is the words the page's Status column shows (FHostStreamState);
 * "dropped" counts the samples the ring lost other than those it decimated.
 * Scripts parse this line: new pairs go at the end or between existing ones, never in place of one. Rate and
 * timecode read "-" before the first frame, as does the last datagram before the first one, an empty slate reads
 * "-", the subject's name (quoted) is there once the source has a camera subject, the cameras read "Camera -, Cine Camera -" while the source has no camera
 * subject (CameraSubject null or without cameras), ", subject disabled" comes before them while the client keeps the source's camera subject disabled (it
 * enables one subject of a name), and ", take error TEXT" ends the line while the Take Recorder has an error to report.
 */
std::string FormatConsoleLine(const FHostSourceSnapshot& Source, const FHostTakeSnapshot& Take, const FHostSubjectSnapshot* CameraSubject);

/** What a plain camera shows: "Camera 54.4° horizontal", the field of view to one decimal. */
std::string FormatCameraDisplay(const FHostCameraSnapshot& Camera);

/** What a Cine Camera shows: "Cine Camera 35.0 mm, 54.4° horizontal", the focal length and field of view to one decimal. */
std::string FormatCineCameraDisplay(const FHostCineCameraSnapshot& CineCamera);
