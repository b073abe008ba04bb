-- What both runs share: the dummy engine, the plug-in on the session's track, exports.
kName = "Morlent Delay"
kPreset = "8e2b6c41-07d3-4f5a-b1e9-2c7a5d903f16" -- 32-bit float WAV, morlent-vst3-check.preset
kRate = 48000
sessionDir = os.getenv ("MORLENT_SESSION_DIR")
renderDir = os.getenv ("MORLENT_RENDER_DIR")

function check (ok, what)
	if not ok then
		print ("FAILED: " .. what)
		quit ()
	end
end

function start_engine ()
	check (AudioEngine:set_backend ("None (Dummy)", "", ""), "the dummy backend")
end

function find_plugin (track)
	for i = 0, 10 do
		local processor = track:nth_plugin (i)
		if processor:isnil () then break end
		local insert = processor:to_insert ()
		if not insert:isnil () and insert:plugin (0):name () == kName then
			return processor
		end
	end
	return nil
end

-- The click comes 6.5 s into each render: by then any delay the settings moved has finished
-- gliding there.
function export (name)
	local export = Session:simple_export ()
	check (export:set_preset (kPreset), "the export preset")
	export:set_folder (renderDir)
	export:set_name (name)
	export:set_range (0, 17 * kRate // 2)
	check (export:run_export (), "export " .. name)
end

function show_params (plugin, label)
	for i = 0, 11 do
		print (string.format ("%s param %d %.9g", label, i, ARDOUR.LuaAPI.get_processor_param (plugin, i, true)))
	end
end
