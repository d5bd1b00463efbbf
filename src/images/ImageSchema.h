#pragma once

// The catalogue's tables of stamp images.
//
//   Picture      one row per distinct picture, found by the SHA-256 of its file:
//                PictureID, Hash (unique), Format ("jpeg", "png" ...), Width and
//                Height in pixels, ByteSize of the file, Thumbnail (a small JPEG
//                or PNG made once). A picture added to two stamps is stored once.
//   PictureData  the original file of each picture, byte for byte: PictureID,
//                Original. Kept apart so that listing thumbnails never reads
//                through the originals.
//   StampImage   one row per image of a stamp: ImageID, StampID, Position (its
//                order, from 1), Kind ("Front", "Back", "Certificate", "Detail",
//                "Other"), Caption, PictureID.
//
// The Stamp table is not touched and no query that lists or moves through stamps
// reads these tables. Triggers keep them consistent whoever writes the file:
//
//   StampImage_owner_deleted   after a Stamp row is deleted, its StampImage rows
//                              go, unless ImageOwner still names the stamp;
//   StampImage_picture_freed   after a StampImage row is deleted (or after its
//   StampImage_picture_changed  PictureID changes), a Picture no row uses is freed;
//   Picture_data_freed         after a Picture row is deleted, its PictureData goes.
//
// ImageOwner is a view of every StampID that may still own images:
// "SELECT StampID FROM Stamp", and once the catalogue has its trash
// (history/TrashSchema.h) the StampIDs of DeletedStamp as well (UNION ALL); the
// trash deletes its own rows' images with a trigger of the same form as
// StampImage_owner_deleted, so that images stay while the stamp can come back
// and go when it is gone for good.
//
// FrontImage is the view the custom reports join for their "Image" field: each
// stamp's StampID and the thumbnail of its first Front image (FrontThumbnail),
// or null.

struct sqlite3;

// The catalogue version step that adds the tables, views, triggers and the
// "Image" row of the field catalogue.
void AddImageTables(sqlite3* db);

// Puts back the triggers, and the view ImageOwner as the catalogue's layout has
// it, if another tool dropped or changed them (run at every open).
void CheckImageTriggers(sqlite3* db);
