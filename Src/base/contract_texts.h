// The texts the host and the camera SDK expect byte for byte: lines printed
// on standard output, message boxes, the host's error messages, the texts
// of traced host calls, and the SDK's library, entry-point, feature and
// symbol names.  Line ends and doubled blanks are part of the contract.
#pragma once

namespace contract {

// Standard output (base/messages.h).
inline constexpr char kSystemMissing[] = "pSystem is null.\r\n";
inline constexpr char kDiscoveryFailed[] = "discovery device fail.\r\n";
inline constexpr char kCreateStreamFailed[] = "create stream obj  fail.\r\n";
inline constexpr char kStopOnCloseFailed[] = "stop grabbing fail.\r\n";
inline constexpr char kDisconnectFailed[] = "disconnect camera fail.\r\n";
inline constexpr char kStartGrabbingFailed[] = "StartGrabbing  fail.\n";
inline constexpr char kStopGrabbingFailed[] = "StopGrabbing  fail.\n";
inline constexpr char kNoFrame[] = "getFrame fail\r\n";
inline constexpr char kIncompleteFrame[] = "getFrame incomplete frame\r\n";
inline constexpr char kFrameTooShort[] = "frame shorter than its size.\r\n";
inline constexpr char kPartOutsideFrame[] = "image part outside the frame.\r\n";
inline constexpr char kFrameTooLarge[] = "frame larger than the image buffer.\r\n";
inline constexpr char kCreateImageControlFailed[] = "Create Image Control Fail.\n";
inline constexpr char kCreateAnalogControlFailed[] = "Create Analog Control Fail.\n";
inline constexpr char kCreateIspControlFailed[] = "Create ISP Control Fail.\n";
inline constexpr char kCreateUserSetControlFailed[] = "Create UserSet Control Fail.\n";
inline constexpr char kCreateDeviceControlFailed[] = "Create Device Control Fail.\n";

// Message boxes, all under one caption.
inline constexpr char kBoxCaption[] = "FGOpen";
inline constexpr char kLibraryMissing[] = "fail to load dll!";
inline constexpr char kSystemEntryMissing[] = "fail to GetProcAddress!";
inline constexpr char kCreatorMissingFormat[] = "fail to GetProcAddress %s!";  // the creator's name
inline constexpr char kPixelFormatListFailed[] = "get pixelFormat list fail";

// The host's error printing, while HDoLowError is set.
inline constexpr char kGenericNotText[] = "Generic parameter accepts only string values!";
inline constexpr char kGenericWrongNameFormat[] = "Wrong parameter input: %s!";  // the text
inline constexpr char kGenericWrongName[] = "Wrong parameter input for Generic!";
inline constexpr char kGenericNoArgument[] =
    "No argument for Generic parameter 'num_buffers' found!";
inline constexpr char kGenericBadValue[] = "Invalid value for Generic parameter 'num_buffers'!";
inline constexpr char kNameCountFormat[] = "numValues(%d) != FG_PARAM_NUM(%d)";

// Traced host calls (base/guarded_call.h): the source path, then each
// call's text.
inline constexpr char kSourcePath[] = "Src\\hAcqOmbrix";
inline constexpr char kLockCancelMutex[] = "HpThreadMutexLock(&currInst->cancel_mutex)";
inline constexpr char kUnlockCancelMutex[] = "HpThreadMutexUnlock(&currInst->cancel_mutex)";
inline constexpr char kInitCancelMutex[] = "HpThreadMutexInit(&currInst->cancel_mutex)";
inline constexpr char kDestroyCancelMutex[] = "HpThreadMutexDestroy(&(currInst->cancel_mutex))";
inline constexpr char kAllocBoard[] = "HXAlloc(proc_id, sizeof(BoardRecord), &currInst->board)";
inline constexpr char kFreeBoard[] = "HXFree(proc_id, currInst->board)";
inline constexpr char kAllocFrameBuffer[] =
    "HXAlloc(proc_id, buffer_size, &currInst->InstFrameBuffer[i])";
inline constexpr char kFreeFrameBuffer[] = "HXFree(proc_id, currInst->InstFrameBuffer[i])";
inline constexpr char kAllocValues[] = "HXAlloc(proc_id, size, (void**)values)";
inline constexpr char kFreeValues[] = "HXFree(proc_id, values)";
inline constexpr char kGetDefaults[] = "HFgGetDefaults(proc_id, fgClass, values, numValues)";
inline constexpr char kGrabForAsync[] = "FGGrab(proc_id, fginst, image, num_image)";
inline constexpr char kWrapBuffer[] =
    "HNewImagePtr(proc_id, &image[i], (INT)(1<<0), fginst->image_width, fginst->image_height, "
    "(void*)(currInst->InstFrameBuffer[readBuffer] + i*size*sizeof(HBYTE)), 0)";
inline constexpr char kReadSetting64[] =
    "HAccessGlVar(proc_id,64,1,&save,(double)0,(char *)((void *)0),(Hkey)((void *)0),0)";
inline constexpr char kClearSetting64[] =
    "HAccessGlVar(proc_id,64,0,((void *)0),(double)0,(char *)((void *)0),(Hkey)((void *)0),0)";
inline constexpr char kRestoreSetting64[] =
    "HAccessGlVar(proc_id,64,0,((void *)0),(double)save,(char *)((void *)0),(Hkey)((void *)0),0)";
inline constexpr char kSplitPlanes[] =
    "ExtractChannelsFromRGB24(fginst, currInst->InstFrameBuffer[readBuffer], image[2].pixel.b, "
    "image[1].pixel.b, image[0].pixel.b)";

// Words of the host's open parameters and of the trigger-mode parameter,
// matched ignoring letter case.
inline constexpr char kWordDefault[] = "default";  // colour space, device
inline constexpr char kFirstDevice[] = "0";
inline constexpr char kCameraTypeAuto[] = "auto";
inline constexpr char kColourGray[] = "gray";
inline constexpr char kColourRgb[] = "rgb";
inline constexpr char kTriggerContinuous[] = "continuous";
inline constexpr char kTriggerSoftware[] = "software_trigger";
inline constexpr char kTriggerLine[] = "line_trigger";
inline constexpr char kGenericBuffers[] = "num_buffers";       // the one generic parameter
inline constexpr char kBoardFormat[] = "device:%.*s port:%d";  // a board of the boards query

// The camera SDK: its library and entry points.
inline constexpr char kSdkLibrary[] = "Tervixmd.dll";
inline constexpr char kGetSystemInstance[] = "GENICAM_getSystemInstance";
inline constexpr char kCreateStreamSource[] = "GENICAM_createStreamSource";
inline constexpr char kCreateEnumNode[] = "GENICAM_createEnumNode";
inline constexpr char kCreateStringNode[] = "GENICAM_createStringNode";
inline constexpr char kCreateAcquisitionControl[] = "GENICAM_createAcquisitionControl";
inline constexpr char kCreateImageFormatControl[] = "GENICAM_createImageFormatControl";
inline constexpr char kCreateAnalogControl[] = "GENICAM_createAnalogControl";
inline constexpr char kCreateIspControl[] = "GENICAM_createISPControl";
inline constexpr char kCreateUserSetControl[] = "GENICAM_createUserSetControl";
inline constexpr char kCreateDeviceControl[] = "GENICAM_createDeviceControl";

// The camera's features and symbols that the interface names itself.
inline constexpr char kContrastModeFeature[] = "ContrastMode";
inline constexpr char kDeviceUserIdFeature[] = "DeviceUserID";
inline constexpr char kSymbolOff[] = "Off";
inline constexpr char kSymbolOn[] = "On";
inline constexpr char kSymbolFrameStart[] = "FrameStart";
inline constexpr char kSymbolSoftware[] = "Software";
inline constexpr char kSymbolLine1[] = "Line1";
// The pixel formats whose images are gray when the colour space is left
// to the camera.
inline constexpr const char* kGrayPixelFormats[] = {"Mono8", "Mono10", "Mono12", "Mono10Packed",
                                                    "Mono12Packed"};

}  // namespace contract
