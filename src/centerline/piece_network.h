#pragma once
// The fitted pieces of all strokes and the joints where their ends meet, and the steps that
// work on them across strokes: collinear or co-circular pieces merged through a junction, small
// gaps along a straight run bridged, dust dropped, and the ends at each joint moved to one
// shared point.
#include <vector>

#include "centerline/stroke_pieces.h"

namespace tesnova {

struct PieceEnd {
  int piece = -1;
  int side = 0;  // 0 the piece's start, 1 its end
};

struct Joint {
  TPoint2D point;    // where the skeleton put it
  double reach = 0;  // around a junction, the radius where the skeleton bends off the strokes
  bool junction = false;
  std::vector<PieceEnd> ends;  // pieces that end here
  std::vector<int> through;    // pieces merged across this joint, which pass through it
};

struct NetworkPiece {
  StrokePiece piece;
  int joint[2] = {-1, -1};  // at the start and at the end; -1 where nothing is attached
  bool removed = false;
};

struct PieceNetwork {
  std::vector<NetworkPiece> pieces;
  std::vector<Joint> joints;

  int AddJoint(TPoint2D point, double reach, bool junction);
  int AddPiece(StrokePiece piece);
  void Attach(int piece, int side, int joint);
};

struct JoiningOptions {
  double tolerance = 1.0;
  double maxGap = 16.0;    // widest gap bridged along a straight run
  double minLength = 3.0;  // shorter strokes standing alone are dust
};

// Pairs of lines, or of arcs, that end at one junction and continue each other become one piece
// passing through it.
void MergeThroughJunctions(PieceNetwork& network, const JoiningOptions& options);

// Lines whose free ends face each other across a small gap on one straight run become one line:
// the dashes of a dashed line, a line broken by the scan.
void BridgeGaps(PieceNetwork& network, const JoiningOptions& options);

// Strokes that stand alone and are shorter than minLength, or than their own width, go, and
// so do short rungs between two strokes that run on through both of the rung's ends.
void DropDust(PieceNetwork& network, const JoiningOptions& options);

// The ends that meet at a joint are moved to one point: where the pieces meeting there cross
// (least squares), or their mean where they run nearly parallel.
void ShareJointPoints(PieceNetwork& network);

}  // namespace tesnova
