// Resource ids of the picture tests, shared by pictures_test.rc and the tests.
// Plain defines: the resource compiler reads this file too.
#pragma once

// "IMG" JPEG pictures.
#define PICTURE_WIDE_640X480 401
#define PICTURE_NARROW_360X480 402
#define PICTURE_FLAT_100X50 403
// PNG raw-data resources with no "IMG" resource of the same id.
#define PICTURE_PNG_RGB_4X2 404
#define PICTURE_PNG_INDEXED2_3X2 405
#define PICTURE_PNG_GREY2_4X1 406
#define PICTURE_PNG_RGBA_2X2 407
#define PICTURE_PNG_ADAM7_3X3 408
// Damaged or foreign contents.
#define PICTURE_PNG_BAD_ZLIB 409
#define PICTURE_PNG_FILTER5 410
#define PICTURE_RAW_NOT_PNG 411
#define PICTURE_IMG_GARBAGE 412
// Both an "IMG" and a raw-data resource under one id.
#define PICTURE_GARBAGE_BESIDE_PNG 413
#define PICTURE_JPEG_BESIDE_PNG 414
// No resource of any type.
#define PICTURE_MISSING 415
// Fitted to a side of 0: an "IMG" picture and a raw-data PNG.
#define PICTURE_THIN_500X2 416
#define PICTURE_PNG_THIN_420X1 417
// A GIF with a transparent colour.
#define PICTURE_GIF_CLEAR_40X40 418
// The last plain id and the first scrambled one.
#define PICTURE_PLAIN_10000 10000
#define PICTURE_SCRAMBLED_10001 10001
