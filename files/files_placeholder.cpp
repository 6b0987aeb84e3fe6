namespace varnelt { int files_placeholder = 0; }
