// Holds the Windows imaging library together until its first real source lands.
